#include "panel/PanelWindow.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cctype>

namespace halvex::panel {

int32_t CduCodeForTypedCharacter(char typed) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '/' || c == '.' || c == '+') return c;
    return 0;
}

int32_t CduCodeForKeySym(int32_t sym) {
    if (sym == SDLK_BACKSPACE) return -3;  // CLR
    if (sym == SDLK_DELETE) return -2;     // DEL
    if (sym >= SDLK_F1 && sym <= SDLK_F10) return -10 - (sym - SDLK_F1);
    return 0;
}

std::unique_ptr<PanelWindow> PanelWindow::Open(const std::string& title, int width, int height, std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    // Without a display SDL may fall back to a driver nobody sees; that is no window for a pilot,
    // unless SDL_VIDEODRIVER asked for it.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        error = "cannot open a window: no display (SDL found only its " + driver + " driver)";
        return nullptr;
    }
    std::unique_ptr<PanelWindow> w(new PanelWindow());
    w->width_ = width;
    w->height_ = height;
    w->window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
    if (w->window_) w->renderer_ = SDL_CreateRenderer(w->window_, -1, SDL_RENDERER_SOFTWARE);
    if (w->renderer_)
        w->texture_ = SDL_CreateTexture(w->renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!w->texture_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    SDL_StartTextInput();
    return w;
}

PanelWindow::~PanelWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void PanelWindow::handle(const SDL_Event& event, Panel& panel) {
    switch (event.type) {
        case SDL_QUIT: closed_ = true; break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) closed_ = true;
            break;
        case SDL_MOUSEMOTION:
            mouseX_ = event.motion.x;
            mouseY_ = event.motion.y;
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT)
                panel.ClickPanel(event.button.x, event.button.y, HALVEX_MOUSE_LEFT_SINGLE);
            else if (event.button.button == SDL_BUTTON_MIDDLE)
                panel.ClickPanel(event.button.x, event.button.y, HALVEX_MOUSE_MIDDLE_SINGLE);
            break;
        case SDL_MOUSEWHEEL:
            if (event.wheel.y != 0)
                panel.ClickPanel(mouseX_, mouseY_, event.wheel.y > 0 ? HALVEX_MOUSE_WHEEL_UP : HALVEX_MOUSE_WHEEL_DOWN);
            break;
        case SDL_TEXTINPUT:
            for (const char* c = event.text.text; *c; ++c)
                if (int32_t code = CduCodeForTypedCharacter(*c)) panel.PressCduKey(code);
            break;
        case SDL_KEYDOWN:
            if (int32_t code = CduCodeForKeySym(event.key.keysym.sym)) panel.PressCduKey(code);
            break;
        default: break;
    }
}

bool PanelWindow::PumpEvents(Panel& panel) {
    SDL_Event event;
    while (!closed_ && SDL_PollEvent(&event)) handle(event, panel);
    return !closed_;
}

void PanelWindow::Show(cairo_surface_t* picture) {
    if (!picture || cairo_image_surface_get_format(picture) != CAIRO_FORMAT_ARGB32) return;
    cairo_surface_flush(picture);
    const int w = std::min(width_, cairo_image_surface_get_width(picture));
    const int h = std::min(height_, cairo_image_surface_get_height(picture));
    SDL_Rect area{0, 0, w, h};
    SDL_UpdateTexture(texture_, &area, cairo_image_surface_get_data(picture), cairo_image_surface_get_stride(picture));
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, &area, &area);
    SDL_RenderPresent(renderer_);
}

cairo_surface_t* PanelWindow::Screenshot() {
    cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    cairo_surface_flush(shot);
    // Read what the last Show put up: draw it again into the back buffer and read that.
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, cairo_image_surface_get_data(shot),
                         cairo_image_surface_get_stride(shot));
    cairo_surface_mark_dirty(shot);
    return shot;
}

}  // namespace halvex::panel
