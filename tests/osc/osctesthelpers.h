#pragma once

#include "osc/oscmessage.h"
#include "osc/oscprocinterface.h"
#include "tests/support/freeudpport.h"

#include <iostream>
#include <memory>
#include <QByteArray>
#include <QStringList>
#include <sstream>
#include <string>
#include <vector>

namespace tarv::osc::test {

// A byte string from a literal that may hold NULs.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// Parses from a heap block of exactly the datagram's size, so the sanitizer
// sees any read past its end.
inline OscMessage Parse(const QByteArray& datagram, std::size_t* consumed = nullptr)
{
    const std::vector<std::uint8_t> exact(datagram.begin(), datagram.end());
    std::size_t used = 0;
    OscMessage message = ParseOscMessage(exact.data(), exact.size(), used);
    if (consumed != nullptr) {
        *consumed = used;
    }
    return message;
}

// "/address i:1 f:2.500000 s:text", the arguments as their ToString gives them.
inline QString Describe(const OscMessage& message)
{
    QString text = QString::fromStdString(message.address);
    for (const auto& param : message.params) {
        text += QStringLiteral(" %1:%2").arg(QChar(OscTypeToTag(param->Type())),
                                             QString::fromStdString(param->ToString()));
    }
    return text;
}

// Records every handler call as one line of text, in call order.
class RecordingHandler : public OscProcInterface
{
public:
    using S = const std::string&;
    explicit RecordingHandler(std::shared_ptr<QStringList> log)
        : m_log(std::move(log))
    {}

    void OnStop(S show, S song) override { Add("Stop", show, song); }
    void OnPlay(S show, S song) override { Add("Play", show, song); }
    void OnFadeOut(S show, S song, float t) override { Add("FadeOut", show, song, t); }
    void OnFadeTo(S show, S song, float t, float v, bool b) override
    {
        Add("FadeTo", show, song, t, v, b);
    }
    void OnVolume(float volume) override { Add("Volume", volume); }
    void OnAdvance(S show, S song) override { Add("Advance", show, song); }
    void OnPause(S show, S song) override { Add("Pause", show, song); }
    void OnAdvanceEvent(S show, S song, S id) override { Add("AdvanceEvent", show, song, id); }
    void OnProcessingError(S error, S context) override { Add("Error", error, context); }
    void OnPlaySfx(S show, S id) override { Add("PlaySfx", show, id); }
    void OnStopSfx(S show, S id) override { Add("StopSfx", show, id); }
    void OnStopAllSfx(S show) override { Add("StopAllSfx", show); }
    void OnNotify() override { m_log->append("Notify"); }
    void OnFadeSfx(S show, S id, double v, float t) override { Add("FadeSfx", show, id, v, t); }

private:
    template <typename... Args>
    void Add(const char* name, const Args&... args)
    {
        std::ostringstream line;
        line << name;
        const char* separator = " ";
        ((line << separator << args, separator = ","), ...);
        m_log->append(QString::fromStdString(line.str()));
    }

    std::shared_ptr<QStringList> m_log;
};

// Captures what is written to std::cerr while it lives.
class CerrCapture
{
public:
    CerrCapture()
        : m_previous(std::cerr.rdbuf(m_text.rdbuf()))
    {}
    ~CerrCapture() { std::cerr.rdbuf(m_previous); }
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;

    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

// A loopback UDP port that was free a moment ago.
using tarv::testing::FreeUdpPort;

} // namespace tarv::osc::test
