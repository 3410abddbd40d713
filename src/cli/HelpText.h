#pragma once
// The texts --help and a wrong argument print.

#include <QString>

namespace vastrel::cli {

// The short form shown under a mistake in the arguments.
QString usageText();

// Everything there is to know about the commands, with examples; `cores` is
// the default of --jobs on this machine.
QString helpText(int cores);

// The same for the manual page, which is made once for every machine: it
// names no count of processors.
QString manualText();

}  // namespace vastrel::cli
