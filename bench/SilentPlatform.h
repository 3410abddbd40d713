#pragma once
// The desktop for the window benchmarks: every message answered at once, as
// by a user who has already read it, so that a run is timed without a wait.

#include "toolkit/Platform.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdlib>

namespace vastrel::bench {

class SilentPlatform : public tk::Platform {
public:
    void MsgBox(const QString&, int) override {}
    void DoEvents() override { QCoreApplication::processEvents(); }
    QDate Date() const override { return QDate(2026, 12, 7); }
    void End() override { std::abort(); }
    // No file is chosen while timing.
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace vastrel::bench
