#include "toolkit/decoder_messages.h"

#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// The category Qt's JPEG plugin logs libjpeg's warnings and errors under.
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
    const bool fromDecoder = context.category && std::strcmp(context.category, kJpegCategory) == 0;
    if (fromDecoder && activeCapture && (type == QtWarningMsg || type == QtCriticalMsg))
        activeCapture->append(message);
    else
        forward(type, context, message);
}

void installHandlerOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] { previousHandler.store(qInstallMessageHandler(handleMessage)); });
}

}  // namespace

DecoderMessages::DecoderMessages() : outer_(activeCapture)
{
    installHandlerOnce();
    activeCapture = this;
}

DecoderMessages::~DecoderMessages()
{
    activeCapture = outer_;
}
