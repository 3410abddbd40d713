#pragma once
// "vastrel-digitizer axes IMAGE...": the calibration each graph gives itself,
// one JSON line per image, for scripts that check or reuse it.

#include <QString>
#include <QStringList>

#include "engine/axes/AxisCalibration.h"

namespace vastrel::cli {

// The JSON line (without its line feed) of one image's calibration.
QString calibrationLine(const QString& imageName, const axes::AxisCalibration& calibration);

// Runs the command on the arguments after "axes": 0 every image calibrated,
// 1 some did not (each named on standard error), 2 the arguments are wrong.
int axesCommand(const QStringList& arguments);

}  // namespace vastrel::cli
