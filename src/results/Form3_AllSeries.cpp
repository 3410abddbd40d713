// The save dialog for "すべての系列を保存": the table of every series as
// name.csv and their JSON as name.json, each written whole, beside the
// listed series' file that "データ保存" writes.

#include "results/Form3.h"

#include "engine/project/SeriesExport.h"
#include "engine/results/CsvFile.h"
#include "engine/results/RowText.h"
#include "engine/results/SeriesTable.h"
#include "results/StoredPoints.h"
#include "shell/Module1.h"

#include <QFileInfo>

namespace vastrel::results {

void Form3::saveListedSeries()
{
    const bool wasAll = allSeries_;
    allSeries_ = false;
    // A single run's preview is the one its result filled in.
    if (!wasAll && !module_.series.listsSeries()) return;
    QStringList preview{QString::fromUtf8(previewHeader.data(), qsizetype(previewHeader.size()))};
    for (const GraphPoint& p : storedPoints(module_)) preview.append(QString::fromStdString(previewRow(p.x, p.y)));
    List1->Clear();
    List1->AddItems(preview);
}

void Form3::saveAllSeries(const QString& name)
{
    allSeries_ = true;
    const std::vector<Series> every = module_.series.all();
    List1->Clear();
    List1->AddItems(QString::fromUtf8(allSeriesCsvText(every)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
    Text9->setText(name);
    Show();
}

void Form3::writeAllSeries()
{
    const std::vector<Series> every = module_.series.all();
    project::SeriesExport contents;
    contents.imageName = QFileInfo(module_.imagePath).fileName();
    contents.imageSha256 = module_.imageSha256;
    contents.refs = module_.series.refs;
    contents.more = module_.series.more;
    contents.series = every;
    contents.program = QStringLiteral("vastrel-digitizer " VASTREL_VERSION);
    const QByteArray json = project::seriesJson(contents);
    // Each file is written whole; a table that fails is not described.
    const CsvFileOutcome table =
        writeNamedFile(Dir2->Path(), Text9->Text(), QStringLiteral(".csv"), allSeriesCsvText(every));
    const CsvFileOutcome described = table.saved()
                                         ? writeNamedFile(Dir2->Path(), Text9->Text(), QStringLiteral(".json"),
                                                          std::string_view(json.constData(), std::size_t(json.size())))
                                         : table;
    reportSave(described);
}

}  // namespace vastrel::results
