#include "Doubles.h"

#include <QTest>

namespace clipvane::test {

Answer ScriptedDialogs::message(MessageKind kind, const QString& text, Buttons buttons) {
    shown.append({kind, text, buttons});
    if (onMessage)
        onMessage(shown.last());
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("Unexpected dialog: ") + text), __FILE__, __LINE__);
        return Answer::Closed;
    }
    return m_answers.dequeue();
}

FileDialogResult ScriptedDialogs::openFile(const FileDialogRequest& request) {
    fileShown.append({false, request});
    if (m_fileAnswers.isEmpty()) {
        QTest::qFail("Unexpected open dialog", __FILE__, __LINE__);
        return {};
    }
    return m_fileAnswers.dequeue();
}

FileDialogResult ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    fileShown.append({true, request});
    if (m_fileAnswers.isEmpty()) {
        QTest::qFail("Unexpected save dialog", __FILE__, __LINE__);
        return {};
    }
    return m_fileAnswers.dequeue();
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : shown)
        out.append(s.text);
    return out;
}

void FakeClipboard::copy(const QString& text) {
    ClipboardContent c;
    c.hasText = true;
    c.text = text;
    copyContent(c);
}

void FakeClipboard::copyContent(const ClipboardContent& c) {
    content = c;
    if (joined)
        emit changed();
}

HttpStatusResult FakeHttpClient::fetchStatus(const HttpStatusRequest& request) {
    statusRequests.append(request);
    if (onRequest)
        onRequest(request.url);
    const auto it = statuses.constFind(request.url);
    if (it == statuses.constEnd())
        return {};
    return {true, *it};
}

HttpGetResult FakeHttpClient::get(const HttpGetRequest& request) {
    getRequests.append(request);
    if (onRequest)
        onRequest(request.url);
    return replies.value(request.url);
}

} // namespace clipvane::test
