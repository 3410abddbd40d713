#include "toolkit/Platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace vastrel::tk {

void DesktopPlatform::MsgBox(const QString& prompt, int style)
{
    QMessageBox box(style == kExclamationMessage ? QMessageBox::Warning : QMessageBox::NoIcon, kApplicationTitle,
                    prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void DesktopPlatform::DoEvents()
{
    QCoreApplication::processEvents();
}

QDate DesktopPlatform::Date() const
{
    return QDate::currentDate();
}

void DesktopPlatform::End()
{
    // Nothing is pending: every file is written and closed inside its own
    // handler, so the process may go without tearing the windows down.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

QString DesktopPlatform::saveFileName(const QString& caption, const QString& start, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, start, filter);
}

QString DesktopPlatform::openFileName(const QString& caption, const QString& start, const QString& filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, start, filter);
}

std::optional<QString> DesktopPlatform::inputText(const QString& caption, const QString& prompt, const QString& text)
{
    bool ok = false;
    const QString typed =
        QInputDialog::getText(QApplication::activeWindow(), caption, prompt, QLineEdit::Normal, text, &ok);
    if (!ok) return std::nullopt;
    return typed;
}

}  // namespace vastrel::tk
