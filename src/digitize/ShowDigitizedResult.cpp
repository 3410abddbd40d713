#include "digitize/ShowDigitizedResult.h"

#include "results/Form2.h"
#include "results/Form3.h"
#include "results/ResultPlot.h"
#include "engine/results/RowText.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::digitize {

void ShowDigitizedResult(shell::Module1& module)
{
    results::Form2& result = module.form2();
    results::drawResultPlot(*result.Picture1, module, module.form1().typedReferences(), result.tablesHoldCurve());

    result.List1->Clear();
    module.platform().DoEvents();
    QStringList rows;
    for (int i = 1; i <= module.PointCount; ++i)
        rows.append(
            QString::fromStdString(results::resultListRow(module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y)));
    result.List1->AddItems(rows);

    results::Form3& dialog = module.form3();
    dialog.List1->Clear();
    module.platform().DoEvents();
    QStringList preview{
        QString::fromUtf8(results::previewHeader.data(), static_cast<qsizetype>(results::previewHeader.size()))};
    for (int i = 1; i <= module.PointCount; ++i)
        preview.append(
            QString::fromStdString(results::previewRow(module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y)));
    dialog.List1->AddItems(preview);

    // Several series, or markers: the list and the plot show them instead.
    result.showSeries(false);
    result.Show();
}

}  // namespace vastrel::digitize
