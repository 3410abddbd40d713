#pragma once
// What the windows need from the desktop beyond their own widgets: modal
// messages, a yield to pending events, today's date and the end of the
// process. Handlers reach these through this interface so that tests can
// record a message instead of blocking on a modal box.

#include <QDate>
#include <QString>
#include <optional>

namespace vastrel::tk {

// Message box styles of the program: plain prompts and confirmations, and
// refusals that carry the exclamation icon.
inline constexpr int kPlainMessage = 0;
inline constexpr int kExclamationMessage = 48;

class Platform {
public:
    virtual ~Platform() = default;

    // Modal, OK only; returns when the user has dismissed it.
    virtual void MsgBox(const QString& prompt, int style = kPlainMessage) = 0;
    // Runs the window events waiting at this moment.
    virtual void DoEvents() = 0;
    virtual QDate Date() const = 0;
    // Ends the process at once, with every window, without asking.
    virtual void End() = 0;
    // A modal choice of a file to write or to read, starting at `start`
    // (a folder, or a file name in one) and offering `filter` ("Projects
    // (*.vdproj)"); empty when the user cancelled.
    virtual QString saveFileName(const QString& caption, const QString& start, const QString& filter) = 0;
    virtual QString openFileName(const QString& caption, const QString& start, const QString& filter) = 0;
    // A modal line of text to type, `text` offered; nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& text) = 0;
};

// The real desktop: QMessageBox titled with the application's name.
class DesktopPlatform : public Platform {
public:
    void MsgBox(const QString& prompt, int style = kPlainMessage) override;
    void DoEvents() override;
    QDate Date() const override;
    void End() override;
    QString saveFileName(const QString& caption, const QString& start, const QString& filter) override;
    QString openFileName(const QString& caption, const QString& start, const QString& filter) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& text) override;
};

inline const QString kApplicationTitle = QStringLiteral("Vastrel Digitizer");

}  // namespace vastrel::tk
