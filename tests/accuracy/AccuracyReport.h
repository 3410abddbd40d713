#pragma once
// What the accuracy collections share: reading the records a generating
// script wrote, one JSON file per picture, and telling the misses.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vastrel::accuracy {

// Every picture's record in `folder`, by file name; nothing where one cannot
// be read (said on standard error).
inline std::optional<std::vector<QJsonObject>> readRecords(const QString& folder)
{
    std::vector<QJsonObject> records;
    for (const QString& name : QDir(folder).entryList({"*.json"}, QDir::Files, QDir::Name)) {
        QFile file(folder + "/" + name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
            return std::nullopt;
        }
        records.push_back(QJsonDocument::fromJson(file.readAll()).object());
    }
    return records;
}

// A harness's arguments: the collection's folder and, optionally, the one
// picture (`item`) whose points to print; nothing, after the usage line,
// when they are wrong.
struct HarnessArguments {
    QString folder;
    QString shown;
};

inline std::optional<HarnessArguments> harnessArguments(int argc, char** argv, const char* item, const char* printed)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER [%s]   (%s: print its %s)\n", argv[0], item, item, printed);
        return std::nullopt;
    }
    return HarnessArguments{QString::fromLocal8Bit(argv[1]), argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString()};
}

// Every record of `folder` measured (and judged) by `measure`, in file order.
template <typename Measure>
auto measureRecords(const QString& folder, const Measure& measure)
    -> std::optional<std::vector<decltype(measure(QJsonObject()))>>
{
    const auto records = readRecords(folder);
    if (!records) return std::nullopt;
    std::vector<decltype(measure(QJsonObject()))> results;
    for (const QJsonObject& record : *records) results.push_back(measure(record));
    return results;
}

// Prints each result's misses under its name; how many results missed.
template <typename Result, typename NameOf>
int printMisses(const std::vector<Result>& results, const NameOf& nameOf)
{
    int missed = 0;
    for (const Result& r : results) {
        if (r.misses.empty()) continue;
        ++missed;
        std::printf("\nMISS %s:", qPrintable(nameOf(r)));
        for (const std::string& m : r.misses) std::printf("\n  %s", m.c_str());
    }
    return missed;
}

}  // namespace vastrel::accuracy
