#pragma once
// Tick labels read by Tesseract's recogniser with the English model Debian
// installs, told to expect nothing but the characters numbers are printed
// with, one line of them per label.

#include <memory>
#include <string>

#include "engine/axes/LabelReader.h"

namespace tesseract {
class TessBaseAPI;
}

namespace vastrel::ocr {

class TesseractLabelReader final : public axes::LabelReader {
public:
    TesseractLabelReader();
    ~TesseractLabelReader() override;
    TesseractLabelReader(const TesseractLabelReader&) = delete;
    TesseractLabelReader& operator=(const TesseractLabelReader&) = delete;

    // False when the model could not be loaded: every label then reads empty.
    bool ready() const { return ready_; }
    std::string read(const axes::LabelPicture& label) override;

private:
    std::unique_ptr<tesseract::TessBaseAPI> api_;
    bool ready_ = false;
};

}  // namespace vastrel::ocr
