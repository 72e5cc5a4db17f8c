#pragma once

#include <QStringList>

// Collects the warnings Qt's picture decoders log while a picture is decoded
// on the calling thread, so that a damaged photo or a refused size can be
// reported once, with the file's name, instead of as a stray line on stderr.
// libjpeg's complaints ("Premature end of JPEG file", "Corrupt JPEG data:
// ...") mean the picture was patched up; Qt's other decoder messages (its
// allocation limit, say) only explain a failure. Everything else logged on
// the thread meanwhile (libpng's warnings, which Qt logs without a category,
// such as "iCCP: known incorrect sRGB profile"; Qt's colour-profile reader)
// is remarks about pictures that decode all the same, and is dropped.
//
// Qt reports them only through its process-wide message handler. A handler
// is installed once, on first use; it hands a message to the capture active
// on the thread that emitted it and forwards every other message to the
// handler that was installed before it. Each thread has its own capture, so
// pictures decoded side by side never see each other's messages.
class DecoderMessages {
public:
    DecoderMessages();
    ~DecoderMessages();
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    // What Qt's decoders logged, in order.
    const QStringList& messages() const { return messages_; }
    // What libjpeg logged: signs that the picture is damaged.
    const QStringList& damage() const { return damage_; }
    // Called by the handler for each message caught on this thread.
    void append(const QString& message, bool fromJpeg);

private:
    QStringList messages_;
    QStringList damage_;
    DecoderMessages* outer_;
};
