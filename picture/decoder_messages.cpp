#include "picture/decoder_messages.h"

#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// Qt's picture decoders log under "qt.gui.imageio", its JPEG plugin under
// "qt.gui.imageio.jpeg".
constexpr const char* kDecoderCategory = "qt.gui.imageio";
constexpr const char* kJpegCategory = "qt.gui.imageio.jpeg";

thread_local DecoderMessages* activeCapture = nullptr;
std::atomic<QtMessageHandler> previousHandler{nullptr};

void forward(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (const QtMessageHandler previous = previousHandler.load())
        previous(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!activeCapture || type == QtFatalMsg) {
        forward(type, context, message);
        return;
    }
    const bool fromDecoder =
        context.category && std::strncmp(context.category, kDecoderCategory, std::strlen(kDecoderCategory)) == 0;
    if (fromDecoder && (type == QtWarningMsg || type == QtCriticalMsg))
        activeCapture->append(message, std::strcmp(context.category, kJpegCategory) == 0);
}

void installHandlerOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] { previousHandler.store(qInstallMessageHandler(handleMessage)); });
}

}  // namespace

void DecoderMessages::append(const QString& message, bool fromJpeg)
{
    messages_.append(message.trimmed());
    if (fromJpeg)
        damage_.append(message.trimmed());
}

DecoderMessages::DecoderMessages() : outer_(activeCapture)
{
    installHandlerOnce();
    activeCapture = this;
}

DecoderMessages::~DecoderMessages()
{
    activeCapture = outer_;
}
