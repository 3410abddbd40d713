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
