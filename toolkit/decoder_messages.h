#pragma once

#include <QStringList>

// Collects the complaints Qt's JPEG decoder makes (libjpeg's "Premature end
// of JPEG file", "Corrupt JPEG data: ...") while a picture is decoded on the
// calling thread, so that a damaged photo can be reported once, with the
// file's name, instead of as a stray line on stderr.
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

    const QStringList& messages() const { return messages_; }
    // Called by the handler for each message caught on this thread.
    void append(const QString& message) { messages_.append(message.trimmed()); }

private:
    QStringList messages_;
    DecoderMessages* outer_;
};
