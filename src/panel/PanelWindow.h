// PanelWindow: the panel in an SDL2 window. Clicks go to the gauges' mouse rectangles, the wheel
// to the EHSI knobs, and the keyboard types on the CDU: letters, digits, space, slash, point and
// plus; Backspace is CLR, Delete is DEL, F1 to F10 the function row.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "panel/Panel.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace halvex::panel {

class PanelWindow {
public:
    // A window the panel's size; nothing, with the reason, when no display can be opened.
    static std::unique_ptr<PanelWindow> Open(const std::string& title, int width, int height, std::string& error);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Delivers every pending event to the panel; false once the window was closed.
    bool PumpEvents(Panel& panel);
    // Puts the picture on screen without waiting for the display's refresh.
    void Show(cairo_surface_t* picture);
    // The pixels now on screen, as a Cairo image (for screenshots); the caller destroys it.
    cairo_surface_t* Screenshot();
    SDL_Window* Handle() const { return window_; }

private:
    PanelWindow() = default;
    void handle(const SDL_Event& event, Panel& panel);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0, height_ = 0;
    int mouseX_ = 0, mouseY_ = 0;
    bool closed_ = false;
};

// The CDU key code a keyboard key stands for, 0 for none. Text keys come as the typed character.
int32_t CduCodeForTypedCharacter(char typed);
int32_t CduCodeForKeySym(int32_t sdlKeySym);

}  // namespace halvex::panel
