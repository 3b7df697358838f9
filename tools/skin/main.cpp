// skin: draws the utility's artwork into a folder as the resource script expects it:
//   face_134.bmp, face_147.bmp ... face_152.bmp   the backgrounds, one per model display
//   pressed_142.bmp ... pressed_144.bmp, pressed_146.bmp   the buttons drawn pushed in
//   YoltUtility.ico, hand.cur                     the program icon and the hand cursor
// With --preview FOLDER it also writes a PNG of each picture there.
//
//   skin OUTPUT_FOLDER [--preview FOLDER]
#include <filesystem>
#include <iostream>

#include "tools/skin/artwork.h"

using namespace yolt::skin;

namespace {

struct Picture {
    int id;
    FaceText text;
};

// Which picture shows which model, and the captions that go with the buttons' actions.
const std::vector<Picture>& Pictures()
{
    static const std::vector<Picture> pictures = {
        {134, {"--:--", {"Setup Config", "MediaFile Scan", "F/W Upgrade"}}},
        {147, {"RQ210", {"Setup Config", "MediaFile Scan", "F/W Upgrade"}}},
        {148, {"RQ310", {"Setup Config", "MediaFile Scan", "F/W Upgrade"}}},
        {149, {"VN310", {"Format & Config", "Setup Config", "F/W Upgrade"}}},
        {150, {"WC110", {"Format & Config", "Setup Config", "F/W Upgrade"}}},
        {151, {"PX410", {"Format & Config", "Setup Config", "F/W Upgrade"}}},
        {152, {"PX210", {"Format & Config", "Setup Config", "F/W Upgrade"}}},
    };
    return pictures;
}

struct PressedPicture {
    int id;
    Pressed pressed;
    int x, y, width, height;
};

const PressedPicture kPressed[] = {
    {142, Pressed::Left, 20, 224, 136, 136},
    {143, Pressed::Middle, 180, 226, 136, 136},
    {144, Pressed::Right, 340, 224, 136, 136},
    {146, Pressed::Close, 449, 10, 33, 35},
};

bool Save(const Canvas& canvas, const std::filesystem::path& folder, const std::string& name,
    const std::filesystem::path& preview, int scale = 1)
{
    if (!WriteBmp((folder / (name + ".bmp")).string(), canvas)) {
        std::cerr << "skin: cannot write " << (folder / (name + ".bmp")) << "\n";
        return false;
    }
    if (!preview.empty())
        WritePng((preview / (name + ".png")).string(), canvas, scale);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
        std::cerr << "usage: skin OUTPUT_FOLDER [--preview FOLDER]\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::filesystem::path preview = argc == 4 ? argv[3] : "";
    std::filesystem::create_directories(folder);
    if (!preview.empty())
        std::filesystem::create_directories(preview);
    try {
        Fonts fonts{FindFont("DejaVu Sans:style=Book"), FindFont("DejaVu Sans:bold")};
        for (const auto& picture : Pictures()) {
            if (!Save(DrawFace(fonts, picture.text, Pressed::None), folder, "face_" + std::to_string(picture.id), preview))
                return 1;
        }
        // Pressed buttons are cut from a face drawn with that button pushed, so their edges
        // match every background exactly (the captions lie outside the cut).
        for (const auto& pressed : kPressed) {
            Canvas face = DrawFace(fonts, Pictures().front().text, pressed.pressed);
            Canvas part = face.Crop(pressed.x, pressed.y, pressed.width, pressed.height);
            if (!Save(part, folder, "pressed_" + std::to_string(pressed.id), preview))
                return 1;
        }
        if (!WriteIconFile((folder / "YoltUtility.ico").string(), {32, 16}) || !WriteHandCursor((folder / "hand.cur").string())) {
            std::cerr << "skin: cannot write the icon or the cursor\n";
            return 1;
        }
        if (!preview.empty()) {
            WritePng((preview / "icon_32.png").string(), IconPreview(32), 8);
            WritePng((preview / "icon_16.png").string(), IconPreview(16), 8);
            WritePng((preview / "hand_cursor.png").string(), CursorPreview(), 8);
        }
    } catch (const std::exception& error) {
        std::cerr << "skin: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
