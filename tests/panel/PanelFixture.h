// The gauge module loaded by the panel host on the bundled simulator tree, with helpers that
// click its keys by pixel and read what its gauges show.
#pragma once

#include <gtest/gtest.h>

#include <cairo.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "gauge/CduKeyLayout.h"
#include "panel/GaugeModule.h"
#include "panel/Panel.h"
#include "support/ScratchRuntime.h"
#include "support/TempTree.h"

namespace halvex::panel {

class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        tree.copyFromSource("data", ".");
        std::string error;
        module = GaugeModule::Load(HALVEX_MODULE_FILE, error);
        ASSERT_TRUE(module) << error;
        panel = std::make_unique<Panel>(*module, StandardLayout());
        ASSERT_TRUE(panel->Install(error)) << error;
    }
    void TearDown() override { panel.reset(); }

    void frame() {
        panel->PreUpdate();
        panel->PreDraw();
    }
    // Runs frames until the CDU has taken every key (it redraws at once while keys wait).
    void settle() {
        for (int i = 0; i < 20; ++i) frame();
    }
    HalvexGaugeHeader* gauge(const char* name) { return module->Gauge(name); }
    std::string screenRow(int row) {
        const std::string& text = panel->CduScreen();
        size_t start = 0;
        for (int r = 0; r < row; ++r) start = text.find('\n', start) + 1;
        return text.substr(start, text.find('\n', start) - start);
    }
    void pressByPixel(int32_t code) {
        const gauge::CduKey* key = gauge::FindCduKey(code);
        ASSERT_TRUE(key);
        ASSERT_TRUE(panel->Click("FMS_Zolan", key->x + 2, key->y + key->height - 2, HALVEX_MOUSE_LEFT_SINGLE));
    }
    // Clicks blank-separated key names ("F1 L3 F L 3 5 0 R1") one frame apart, as a pilot would.
    void clickKeys(const std::string& names) {
        std::istringstream in(names);
        for (std::string name; in >> name;) {
            const std::optional<int32_t> code = gauge::CduKeyFromName(name);
            ASSERT_TRUE(code) << name;
            pressByPixel(*code);
            frame();
        }
    }

    // Whether an AP85 chain element shows its own picture on the composed panel: most of its
    // pixels on the panel equal the annunciator bitmap's.
    bool annunciatorShown(int position) {
        HalvexElement* element = gauge("AP85")->elementList[0];
        for (int i = 1; i < position; ++i) element = element->children[0];
        element = element->children[0];
        auto* image = static_cast<cairo_surface_t*>(element->deviceContext);
        EXPECT_TRUE(image);
        if (!image) return false;
        cairo_surface_flush(image);
        cairo_surface_t* picture = panel->Picture();
        const GaugePlace ap85 = placeOf("AP85");
        const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
        int same = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                same += pixel(image, x, y) == pixel(picture, static_cast<int>(ap85.x) + element->x + x,
                                                       static_cast<int>(ap85.y) + element->y + y);
        return same >= w * h * 95 / 100;
    }
    static GaugePlace placeOf(const std::string& name) {
        for (const GaugePlace& p : StandardLayout())
            if (p.name == name) return p;
        return {};
    }
    static uint32_t pixel(cairo_surface_t* s, int x, int y) {
        const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        return reinterpret_cast<const uint32_t*>(row)[x] | 0xFF000000u;  // opacity aside
    }
    bool lnavLit(const char* name) {
        HalvexElement* face = gauge(name)->elementList[0];
        return (face->imageFlags & HALVEX_IMAGE_HIDDEN) && !(face->children[0]->imageFlags & HALVEX_IMAGE_HIDDEN);
    }
    void clickCentre(const char* gaugeName, int x, int y, int w, int h) {
        ASSERT_TRUE(panel->Click(gaugeName, x + w / 2.0, y + h / 2.0, HALVEX_MOUSE_LEFT_SINGLE));
        frame();
    }

    test::ScratchRuntime runtime;  // no simulator: every read fails, as with the simulator stopped
    test::TempTree tree;
    std::unique_ptr<GaugeModule> module;
    std::unique_ptr<Panel> panel;
};

}  // namespace halvex::panel
