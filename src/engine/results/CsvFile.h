#pragma once
// Writing the points as a CSV file, all or nothing: the file is completed
// beside its target and then replaces it, so a failure half-way leaves an
// existing file of that name as it was.

#include "engine/results/GraphPoint.h"
#include "engine/results/WholeFile.h"

#include <QString>
#include <optional>
#include <span>
#include <string_view>

namespace vastrel::results {

struct CsvFileOutcome {
    QString path;     // the full name the file was, or would have been, written to
    QString failure;  // empty when the file was written; otherwise why not, for the user

    bool saved() const { return failure.isEmpty(); }
};

// Writes the file `name` + ".csv" into `folder`. `name` is taken exactly as
// typed (blanks and a ".csv" of its own included) but must not contain "/",
// which would place the file outside `folder`, nor a NUL, which would cut it short.
CsvFileOutcome writeCsvFile(const QString& folder, const QString& name, std::span<const GraphPoint> points);

// The same for any file: `name` + `extension` (".json") holding `bytes`.
CsvFileOutcome writeNamedFile(const QString& folder, const QString& name, const QString& extension,
                              std::string_view bytes);

}  // namespace vastrel::results
