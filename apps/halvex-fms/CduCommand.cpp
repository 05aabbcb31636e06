// halvex-fms cdu: run the CDU on a simulator tree and print its screen.
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "GaugePictures.h"
#include "display/CduScreenText.h"
#include "gauge/CduKeyLayout.h"
#include "gauge/StandardCore.h"

namespace halvex::cli {

namespace {

enum class Style { Text, Raw, Colour };

void printScreen(CduUnit& cdu, Style style) {
    const CduTextGrid& grid = cdu.Grid();
    const CduPalette& palette = cdu.Surface().Palette();
    for (int row = 0; row < CduTextGrid::kRows; ++row) {
        std::string line;
        for (int col = 0; col < CduTextGrid::kColumns; ++col) {
            const TextCell c = grid.At(row, col);
            if (style == Style::Raw) {
                char hex[12];
                std::snprintf(hex, sizeof hex, col ? " %08X" : "%08X", c);
                line += hex;
                continue;
            }
            if (style == Style::Colour) {
                const uint32_t argb = palette[static_cast<size_t>(cell::Colour(c))];
                char esc[32];
                std::snprintf(esc, sizeof esc, "\x1b[38;2;%u;%u;%um", argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF);
                line += esc;
            }
            AppendUtf8(line, ShownCharacter(c));
        }
        if (style == Style::Colour) line += "\x1b[0m";
        std::cout << line << "\n";
    }
}

struct CduOptions {
    std::string root = DefaultRoot();
    std::vector<std::string> keys;
    int cycles = 1;
    bool raw = false;
    bool colour = false;
    std::string png;
    float scale = 1.0f;
};

int runCdu(const CduOptions& o) {
    std::vector<std::vector<int32_t>> batches;
    for (const std::string& option : o.keys) {
        std::vector<int32_t> codes;
        std::istringstream words(option);
        for (std::string word; words >> word;) {
            const std::optional<int32_t> code = gauge::CduKeyFromName(word);
            if (!code) {
                std::cerr << "halvex-fms cdu: unknown key '" << word << "'\n";
                return 2;
            }
            codes.push_back(*code);
        }
        batches.push_back(std::move(codes));
    }
    if (!EnterRoot(o.root)) return 1;

    std::unique_ptr<FmsCore> core = MakeStandardCore();
    CduUnit& cdu = *core->Cdu();
    auto cycle = [&] {
        core->Update();
        core->RunCduCycle();
    };
    for (const std::vector<int32_t>& batch : batches) {
        for (int32_t code : batch) cdu.PushKey(code);
        for (int i = 0; i < 100 && cdu.KeyCount() > 0; ++i) cycle();
    }
    for (int i = 0; i < o.cycles; ++i) cycle();
    printScreen(cdu, o.raw ? Style::Raw : o.colour ? Style::Colour : Style::Text);
    if (!o.png.empty() && !WriteCduPicture(*core, o.png, o.scale)) {
        std::cerr << "halvex-fms cdu: cannot write " << o.png << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddCduCommand(CLI::App& app) {
    auto options = std::make_shared<CduOptions>();
    CLI::App* cmd = app.add_subcommand("cdu", "Run the CDU script for some cycles and print the screen");
    cmd->add_option("--root", options->root, "Simulator folder (default: the bundled tree)");
    cmd->add_option("--keys", options->keys, "Blank-separated keys: A-Z 0-9 . / + SP L1-L6 R1-R6 F1-F10 K1-K4")
        ->take_first()
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--cycles", options->cycles, "Cycles to run after the keys")->check(CLI::NonNegativeNumber);
    auto* raw = cmd->add_flag("--raw", options->raw, "Print cell values in hexadecimal");
    auto* colour = cmd->add_flag("--colour", options->colour, "Show palette colours");
    raw->excludes(colour);
    cmd->add_option("--png", options->png, "Also write the CDU gauge (face and screen) as a PNG file");
    cmd->add_option("--scale", options->scale, "Gauge size as a multiple of the 500 x 559 face (default 1)")
        ->check(CLI::Range(0.1f, 8.0f));
    cmd->callback([options] {
        const int rc = runCdu(*options);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
