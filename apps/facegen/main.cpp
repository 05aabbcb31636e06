// facegen OUTDIR SCRIPT: draws every gauge face and writes it as OUTDIR/<id>.png and as the
// resource bitmap OUTDIR/<id>.bmp; the CDU's function keys are labelled from SCRIPT.
#include <filesystem>
#include <iostream>
#include <string>

#include "display/faces/Faces.h"
#include "display/faces/IndexedBmp.h"
#include "display/faces/KeyLabels.h"

int main(int argc, char** argv) {
    using namespace halvex;
    if (argc != 3) {
        std::cerr << "usage: facegen OUTDIR SCRIPT\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    const faces::KeyLabels labels = faces::ReadKeyLabels(argv[2]);
    if (labels.empty()) {
        std::cerr << "facegen: no KEY_LABELS in " << argv[2] << "\n";
        return 1;
    }
    for (const faces::FaceInfo& f : faces::AllFaces()) {
        DeviceContext face = faces::RenderFace(f.id, 1.0, labels);
        const std::string stem = (out / std::to_string(f.id)).string();
        const bool ok = WritePng(face, stem + ".png") && faces::WriteIndexedBmp(face, stem + ".bmp", f.bitsPerPixel);
        FreeDeviceContext(face);
        if (!ok) {
            std::cerr << "facegen: cannot write " << stem << "\n";
            return 1;
        }
    }
    return 0;
}
