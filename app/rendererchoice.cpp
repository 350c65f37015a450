#include "app/rendererchoice.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace {

// What the renderer of a default OpenGL context calls itself; empty where
// there is no OpenGL.
QByteArray OpenGlRenderer()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return {};
    const auto* renderer =
        reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QByteArray name(renderer);
    context.doneCurrent();
    return name;
}

// Whether an OpenGL renderer string names one of Mesa's software rasterizers.
bool IsSoftwareRasterizer(const QByteArray& renderer)
{
    const QByteArray name = renderer.toLower();
    return name.contains("llvmpipe") || name.contains("softpipe") ||
           name.contains("software rasterizer");
}

} // namespace

namespace RendererChoice {

void Choose()
{
    for (const char* operatorsChoice : {"QT_QUICK_BACKEND", "QSG_RHI_BACKEND", "QSG_RENDER_LOOP"}) {
        if (qEnvironmentVariableIsSet(operatorsChoice))
            return;
    }
    if (QQuickWindow::graphicsApi() == QSGRendererInterface::OpenGL &&
        IsSoftwareRasterizer(OpenGlRenderer()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace RendererChoice
