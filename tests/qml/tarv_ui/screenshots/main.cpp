#include <algorithm>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickView>
#include <QtTest/QTest>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

namespace {

int g_warnings = 0;

void countWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings;
    QTextStream(stderr) << message << '\n';
}

// Shows one section, right-clicks the item named "screenshotRightClick" and
// holds the mouse down on the item named "screenshotPress" (if there are such
// items), lets popups, tooltips and images settle, and grabs the window.
QImage renderSection(QQmlEngine& engine, const QFileInfo& file)
{
    QQuickView view(&engine, nullptr);
    view.setResizeMode(QQuickView::SizeViewToRootObject);
    view.setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    if (view.status() != QQuickView::Ready || !view.rootObject())
        return {};
    view.show();
    view.requestActivate();
    // Without an active window no item holds the active focus, and the
    // focused states would not show.
    if (!QTest::qWaitForWindowActive(&view))
        return {};
    QTest::qWait(200);
    if (const auto* item =
            view.rootObject()->findChild<QQuickItem*>(QStringLiteral("screenshotRightClick"))) {
        QTest::mouseClick(
            &view, Qt::RightButton, {},
            item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
    }
    const auto* target =
        view.rootObject()->findChild<QQuickItem*>(QStringLiteral("screenshotPress"));
    QPoint centre;
    if (target) {
        centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
        QTest::mouseMove(&view, centre);
        QTest::qWait(50);
        QTest::mousePress(&view, Qt::LeftButton, {}, centre);
    }
    QTest::qWait(900);
    QImage image = view.grabWindow();
    if (target)
        QTest::mouseRelease(&view, Qt::LeftButton, {}, centre);
    return image;
}

QImage stack(const QList<QImage>& images)
{
    int width = 0;
    int height = 0;
    for (const QImage& image : images) {
        width = std::max(width, image.width());
        height += image.height();
    }
    QImage page(width, height, QImage::Format_ARGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    int y = 0;
    for (const QImage& image : images) {
        painter.drawImage(0, y, image);
        y += image.height();
    }
    return page;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    qInstallMessageHandler(countWarnings);
    QGuiApplication app(argc, argv);
    const QDir output(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));

    QList<QImage> images;
    const QDir sections(QStringLiteral(TARV_SCREENSHOT_SECTIONS));
    for (const QFileInfo& file :
         sections.entryInfoList({QStringLiteral("*.qml")}, QDir::Files, QDir::Name)) {
        const QImage image = renderSection(engine, file);
        const QString path = output.filePath(file.completeBaseName() + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            QTextStream(stderr) << "Could not render " << file.fileName() << '\n';
            return 1;
        }
        QTextStream(stdout) << path << '\n';
        images.append(image);
    }
    const QString pagePath = output.filePath(QStringLiteral("page.png"));
    if (images.isEmpty() || !stack(images).save(pagePath))
        return 1;
    QTextStream(stdout) << pagePath << '\n';
    if (g_warnings > 0) {
        QTextStream(stderr) << g_warnings << " warning(s) while rendering\n";
        return 1;
    }
    return 0;
}
