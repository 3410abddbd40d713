#pragma once
// Stands in for the desktop in widget tests: records every message instead of
// blocking on a modal box, counts yields and answers a fixed date.

#include "toolkit/Platform.h"

#include <QCoreApplication>
#include <QList>
#include <functional>
#include <stdexcept>

namespace vastrel::testing {

struct RecordedMessage {
    QString text;
    int style;
};

// Thrown where the real program would end its process.
struct ProcessEnded : std::runtime_error {
    ProcessEnded() : std::runtime_error("the program ended its process") {}
};

class RecordingPlatform : public tk::Platform {
public:
    void MsgBox(const QString& prompt, int style) override
    {
        messages.append({prompt, style});
        if (whileMessageShown) whileMessageShown(prompt);
    }
    void DoEvents() override
    {
        ++yields;
        QCoreApplication::processEvents();
    }
    QDate Date() const override { return today; }
    void End() override { throw ProcessEnded(); }
    // The file dialogs answer the choices queued, in order, then cancel.
    QString saveFileName(const QString& caption, const QString&, const QString&) override { return choose(caption); }
    QString openFileName(const QString& caption, const QString&, const QString&) override { return choose(caption); }
    // Typed answers, in order, then a cancel.
    std::optional<QString> inputText(const QString& caption, const QString&, const QString&) override
    {
        fileDialogs.append(caption);
        if (textAnswers.isEmpty()) return std::nullopt;
        return textAnswers.takeFirst();
    }
    QString choose(const QString& caption)
    {
        fileDialogs.append(caption);
        return fileChoices.isEmpty() ? QString() : fileChoices.takeFirst();
    }

    QStringList texts() const
    {
        QStringList all;
        for (const auto& message : messages) all.append(message.text);
        return all;
    }

    QList<RecordedMessage> messages;
    int yields = 0;
    QDate today{2026, 12, 6};
    QStringList fileChoices;
    QStringList textAnswers;
    QStringList fileDialogs;  // the captions of the dialogs asked for, files and texts
    // Runs while a message would be on screen, as a user acting before OK.
    std::function<void(const QString&)> whileMessageShown;
};

}  // namespace vastrel::testing
