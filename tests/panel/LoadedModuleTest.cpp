// The gauge module as a panel loads it: its exported records, its callbacks and its mouse
// rectangles, driven through the panel host on the bundled simulator tree.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <set>

#include "PanelFixture.h"

namespace halvex::panel {
namespace {

using LoadedModule = PanelFixture;

}  // namespace

TEST_F(LoadedModule, ExportsOnlyTheLinkageAndTheImportTable) {
    const HalvexLinkage& linkage = module->Linkage();
    EXPECT_EQ(linkage.moduleId, 0x13u);
    EXPECT_EQ(linkage.flags, 0u);
    EXPECT_EQ(linkage.priority, 0u);
    EXPECT_EQ(linkage.version, 0x900u);
    ASSERT_TRUE(linkage.init && linkage.deinit);
    linkage.init();  // empty routines: nothing happens
    linkage.deinit();
    const char* names[] = {"FMScore", "FMS_Zolan", "AP85", "EHSI_Zolan", "LNAV_TGL", "LNAV_BTN"};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(linkage.gauges[i]);
        EXPECT_STREQ(linkage.gauges[i]->name, names[i]);
        EXPECT_EQ(linkage.gauges[i]->version, 800u);
        EXPECT_EQ(linkage.gauges[i]->sizeXmm, 100u);
        EXPECT_EQ(linkage.gauges[i]->sizeYmm, 0u);
        EXPECT_TRUE(linkage.gauges[i]->callback);
        EXPECT_EQ(linkage.gauges[i]->query, linkage.gauges[0]->query);  // the same routines in all six
    }
    EXPECT_EQ(linkage.gauges[6], nullptr);
    const HalvexImportEntry* imports = module->Imports();
    EXPECT_EQ(imports[0].id, 0x0Fu);
    EXPECT_EQ(imports[1].id, 0u);
    EXPECT_EQ(imports[1].table, nullptr);

    // Nothing else is visible to a host.
    std::FILE* nm = popen(("nm -D --defined-only " + std::string(HALVEX_MODULE_FILE)).c_str(), "r");
    ASSERT_TRUE(nm);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        char type = 0, name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2 && type != 'w' && type != 'U') exported.insert(name);
    }
    pclose(nm);
    EXPECT_EQ(exported, (std::set<std::string>{"ImportTable", "Linkage"}));
}

TEST_F(LoadedModule, ElementTreesAndMouseTablesAreLaidOutForTheHost) {
    HalvexElement* ap85 = gauge("AP85")->elementList[0];
    EXPECT_EQ(ap85->bitmapId, 9u);
    EXPECT_EQ(ap85->imageFlags & 0x3FFFFFFFu, 0x20u);
    const uint32_t chain[11] = {10, 11, 12, 109, 116, 115, 114, 113, 112, 111, 110};
    HalvexElement* e = ap85;
    for (uint32_t id : chain) {
        ASSERT_TRUE(e->children && e->children[0] && !e->children[1]);
        e = e->children[0];
        EXPECT_EQ(e->bitmapId, id);
        EXPECT_TRUE(e->imageFlags & HALVEX_IMAGE_HIDDEN);
    }
    EXPECT_EQ(e->children, nullptr);
    EXPECT_EQ(gauge("LNAV_TGL")->elementList[0]->imageFlags & 0x3FFFFFFFu, 0x1u);
    EXPECT_EQ(gauge("LNAV_TGL")->elementList[0]->children[0]->imageFlags, 0x40000001u);

    const std::pair<const char*, int> children[] = {{"FMScore", 0}, {"FMS_Zolan", 66}, {"AP85", 7},
                                                    {"EHSI_Zolan", 8}, {"LNAV_TGL", 1}, {"LNAV_BTN", 1}};
    for (const auto& [name, count] : children) {
        const HalvexMouseRect* r = gauge(name)->mouseRects;
        EXPECT_EQ(r[0].kind, HALVEX_MOUSE_PARENT) << name;
        EXPECT_EQ(r[0].cursor, -1);
        EXPECT_EQ(r[0].helpId, 0xAB0Du);
        EXPECT_EQ(r[0].width, 0);
        for (int i = 1; i <= count; ++i) {
            EXPECT_EQ(r[i].kind, HALVEX_MOUSE_CHILD) << name << " " << i;
            EXPECT_EQ(r[i].helpId, 0u);
            EXPECT_TRUE(r[i].handler);
        }
        EXPECT_EQ(r[count + 1].kind, HALVEX_MOUSE_END_OF_PARENT) << name;
        EXPECT_EQ(r[count + 2].kind, HALVEX_MOUSE_END) << name;
    }
    const HalvexMouseRect* knob = &gauge("EHSI_Zolan")->mouseRects[8];
    EXPECT_EQ(knob->x, 442);
    EXPECT_EQ(knob->cursor, 1);
    EXPECT_EQ(knob->mouseFlags, 0x40006000u);
}

TEST_F(LoadedModule, PreDrawBeforeConnectDrawsNothingButAsksToBeComposed) {
    HalvexGaugeHeader* cdu = gauge("FMS_Zolan");
    HalvexElement* face = cdu->elementList[0];
    auto* image = static_cast<cairo_surface_t*>(face->deviceContext);
    ASSERT_TRUE(image);
    cairo_surface_flush(image);
    const int bytes = cairo_image_surface_get_stride(image) * cairo_image_surface_get_height(image);
    const std::string before(reinterpret_cast<const char*>(cairo_image_surface_get_data(image)), bytes);
    face->imageFlags |= HALVEX_IMAGE_COMPOSED;
    cdu->callback(cdu, HALVEX_SERVICE_PRE_DRAW, 0);
    EXPECT_FALSE(face->imageFlags & HALVEX_IMAGE_COMPOSED);
    cairo_surface_flush(image);
    EXPECT_EQ(before, std::string(reinterpret_cast<const char*>(cairo_image_surface_get_data(image)), bytes));
    EXPECT_EQ(cdu->callback(cdu, 7, 0), 7u);  // other services come back unchanged
}

TEST_F(LoadedModule, ClicksWithoutACoreAreDropped) {
    pressByPixel('A');
    clickCentre("AP85", 54, 28, 48, 38);
    clickCentre("LNAV_BTN", 4, 4, 49, 38);
    EXPECT_TRUE(panel->Click("EHSI_Zolan", 20, 420, HALVEX_MOUSE_WHEEL_UP));
    EXPECT_TRUE(panel->CduScreen().empty());
}

TEST_F(LoadedModule, ConnectShowsTheStartUpPictureWhileTheCoreLoads) {
    panel->Connect();
    EXPECT_EQ(panel->StartupPictures(), 1);
    panel->Connect();  // a second connect finds the core and does nothing
    EXPECT_EQ(panel->StartupPictures(), 1);
}

TEST_F(LoadedModule, KeysClickedByPixelTypeIntoTheScratchpad) {
    panel->Connect();
    settle();
    ASSERT_NE(panel->CduScreen().find("IDENT"), std::string::npos) << panel->CduScreen();
    const std::string typed = "KSEA/12.5+0 ZYX";
    for (char c : typed) pressByPixel(c);
    settle();
    EXPECT_EQ(screenRow(14).substr(0, typed.size()), typed) << panel->CduScreen();
}

TEST_F(LoadedModule, EveryFunctionKeyAndLineKeyReachesTheScript) {
    // A key the script knows changes the screen; clicking F2 (RTE) from IDENT leaves IDENT.
    panel->Connect();
    settle();
    const std::string ident = panel->CduScreen();
    pressByPixel(-11);
    settle();
    EXPECT_NE(panel->CduScreen(), ident);
    EXPECT_NE(screenRow(0).find("RTE"), std::string::npos) << panel->CduScreen();
}

// A pilot sees the page a key opens on the very next frame, whichever frame of the CDU's
// periodic cycle the key falls on; a line key on the index opens its page as quickly.
TEST_F(LoadedModule, TheNextDrawShowsThePageAKeyOpened) {
    panel->Connect();
    settle();
    const std::pair<int32_t, const char*> steps[] = {{-15, "PROG"},      {-14, "VNAV"},  {-10, "INIT/REF INDEX"},
                                                     {-32, "PERF INIT"}, {-11, "RTE"},   {-13, "LEGS"},
                                                     {-10, "INIT/REF INDEX"}, {-51, "STATUS"}};
    for (int offset = 0; offset < 15; offset += 4) {
        for (int i = 0; i < offset; ++i) frame();  // another phase of the 15-frame cycle
        for (const auto& [code, title] : steps) {
            pressByPixel(code);
            frame();
            EXPECT_NE(screenRow(0).find(title), std::string::npos) << "after key " << code << ":\n" << panel->CduScreen();
        }
    }
}

TEST_F(LoadedModule, Ap85ButtonsLightTheirAnnunciators) {
    panel->Connect();
    frame();
    for (int p = 1; p <= 11; ++p) EXPECT_FALSE(annunciatorShown(p)) << p;
    clickCentre("AP85", 54, 28, 48, 38);  // lateral 1
    EXPECT_TRUE(annunciatorShown(1));
    clickCentre("AP85", 54, 102, 48, 38);  // vertical 1
    EXPECT_TRUE(annunciatorShown(1));
    EXPECT_TRUE(annunciatorShown(2));
    clickCentre("AP85", 112, 28, 48, 38);  // lateral 2
    EXPECT_FALSE(annunciatorShown(1));
    EXPECT_TRUE(annunciatorShown(3));
    clickCentre("AP85", 112, 102, 48, 38);  // vertical 2
    EXPECT_FALSE(annunciatorShown(2));
    EXPECT_TRUE(annunciatorShown(4));
    clickCentre("AP85", 227, 28, 48, 38);  // vertical 6 with lateral 4: approach
    EXPECT_TRUE(annunciatorShown(7));
    for (int p : {1, 2, 3, 4, 5, 6, 9, 10}) EXPECT_FALSE(annunciatorShown(p)) << p;
}

TEST_F(LoadedModule, LnavToggleAndButtonTwiceFromEveryMode) {
    panel->Connect();
    frame();
    for (const char* lamp : {"LNAV_TGL", "LNAV_BTN"}) {
        const auto clickLamp = [&] {
            if (std::string(lamp) == "LNAV_TGL") clickCentre(lamp, 11, 11, 52, 52);
            else clickCentre(lamp, 4, 4, 49, 38);
        };
        // From 0: on, then off again.
        EXPECT_FALSE(lnavLit(lamp));
        clickLamp();
        EXPECT_TRUE(lnavLit(lamp));
        EXPECT_TRUE(annunciatorShown(1));
        clickLamp();
        EXPECT_FALSE(lnavLit(lamp));
        EXPECT_FALSE(annunciatorShown(1));
        // From 2: the first click sets 1, the second 0, so heading select does not come back.
        clickCentre("AP85", 112, 28, 48, 38);
        EXPECT_TRUE(annunciatorShown(3));
        clickLamp();
        EXPECT_TRUE(lnavLit(lamp));
        clickLamp();
        EXPECT_FALSE(lnavLit(lamp));
        EXPECT_FALSE(annunciatorShown(3));
        EXPECT_FALSE(annunciatorShown(1));
    }
}

TEST_F(LoadedModule, EhsiKnobsTakeTheWheelAndMiddleButtonOnly) {
    panel->Connect();
    frame();
    EXPECT_FALSE(panel->Click("EHSI_Zolan", 20, 420, HALVEX_MOUSE_LEFT_SINGLE));
    EXPECT_TRUE(panel->Click("EHSI_Zolan", 20, 420, HALVEX_MOUSE_MIDDLE_SINGLE));
    EXPECT_TRUE(panel->Click("EHSI_Zolan", 460, 420, HALVEX_MOUSE_WHEEL_DOWN));
    EXPECT_FALSE(panel->Click("EHSI_Zolan", 250, 250, HALVEX_MOUSE_LEFT_SINGLE));  // the screen has no rectangle
    frame();
}

TEST_F(LoadedModule, DisconnectLeavesEveryGaugeInert) {
    panel->Connect();
    settle();
    panel->Disconnect();
    pressByPixel('A');
    clickCentre("AP85", 54, 28, 48, 38);
    EXPECT_TRUE(panel->Click("EHSI_Zolan", 20, 420, HALVEX_MOUSE_WHEEL_UP));
    frame();  // the EHSI went with the core: nothing is left to read it
    panel->Connect();  // and the panel can connect again
    settle();
    EXPECT_NE(panel->CduScreen().find("IDENT"), std::string::npos);
}

}  // namespace halvex::panel
