// "四隅を検出": with the start and end points on the corners of a drawn frame,
// the frame's other two corners are found on the picture as it was loaded
// (an erased legend box often covers the frame beside a corner) and become
// reference points 3 and 4, with the values (X1, Y2) and (X2, Y1) typed into
// the boxes. Corners found before give way to the new ones; picked points stay.

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/FrameCorners.h"
#include "engine/image/DrawingArea.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <algorithm>

namespace vastrel::shell {

void Form1::findFrameCornersOfPicture()
{
    const QString noFrame = QString::fromUtf8(digitize::msg::kNoFrame);
    const QImage& picture = Picture1->Picture();
    if (picture.isNull()) {
        module_.platform().MsgBox(noFrame, tk::kExclamationMessage);
        return;
    }
    const QImage loaded = image::composeDrawingArea(picture, Picture1->drawingSize());
    const digitize::PlanePoint lowerLeft{module_.StartPixelX, module_.StartPixelY};
    const digitize::PlanePoint upperRight{module_.EndPixelX, module_.EndPixelY};
    const auto found = digitize::findFrameCorners(image::pixelViewOf(loaded), lowerLeft, upperRight);
    if (const auto* refusal = std::get_if<std::string>(&found)) {
        module_.platform().MsgBox(QString::fromStdString(*refusal), tk::kExclamationMessage);
        return;
    }
    const auto& corners = std::get<digitize::FrameCorners>(found);
    auto& added = module_.addedReferences;
    std::erase_if(added, [](const AddedReference& point) { return point.found; });
    added.insert(added.begin(), {{corners.upperLeft.x, corners.upperLeft.y, Text1->Text(), Text4->Text(), true},
                                 {corners.lowerRight.x, corners.lowerRight.y, Text3->Text(), Text2->Text(), true}});
    module_.referencePickIndex.reset();
    showReferenceMarkers();
    showReferenceList();
    referencesChanged();
}

}  // namespace vastrel::shell
