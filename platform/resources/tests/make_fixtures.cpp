// Writes the image files the resource test module's script names: make_fixtures FOLDER.
#include "platform/resources/tests/fixture_files.h"
#include "platform/resources/tests/fixture_pixels.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    using namespace yolt::rsrc::test;
    WriteBytes(folder / "test.bmp", MakeBmp(kBitmapWidth, kBitmapHeight, BitmapPixel));
    WriteBytes(folder / "test.ico", MakeIconFile({32, 16}, false));
    WriteBytes(folder / "test.cur", MakeIconFile({32}, true));
    return 0;
}
