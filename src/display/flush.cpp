// flush.cpp -- the game's flush: only the cells that changed since the last flush are drawn
// and sent to the window, at a whole-number scale of the console, centred on black.
#include <SDL.h>

#include <cstdint>

#include "display/display.h"

namespace {

// What a cell showed at the last flush.
struct ShownCell {
    int glyph;
    TCOD_color_t fore, back;
};

// Where the console's picture sits in the window.
struct View {
    SDL_Rect rect;
    int scale;  // whole-number scale, or 0 when the window is too small and it is shrunk
};

enum DrawingPath { PATH_UNDECIDED, PATH_OWN, PATH_WHOLE_WINDOW };

DrawingPath path = PATH_UNDECIDED;
ShownCell shown[CONSOLE_COLUMNS * CONSOLE_ROWS];
bool all_stale = true;
SDL_Surface* picture = NULL;  // the console at scale 1, in the window's pixel format
SDL_Surface* last_surface = NULL;
int last_width = 0, last_height = 0;
View view;
// The cells a flush sends, in window pixels once sent.
SDL_Rect changed_rects[CONSOLE_COLUMNS * CONSOLE_ROWS];
TCOD_ViewportOptions* whole_window_viewport = NULL;

// libtcod's own software renderer draws into the window's surface; any other renderer
// (chosen through TCOD_RENDERER) owns the window, and then libtcod draws every frame.
DrawingPath choose_path() {
    SDL_Renderer* renderer = TCOD_sys_get_sdl_renderer();
    SDL_RendererInfo info;
    if (renderer == NULL || SDL_GetRendererInfo(renderer, &info) != 0) return PATH_WHOLE_WINDOW;
    if ((info.flags & SDL_RENDERER_SOFTWARE) == 0) return PATH_WHOLE_WINDOW;
    if (TCOD_get_default_tileset() == NULL) return PATH_WHOLE_WINDOW;
    SDL_Surface* surface = SDL_GetWindowSurface(TCOD_sys_get_sdl_window());
    if (surface == NULL || surface->format->BytesPerPixel != 4) return PATH_WHOLE_WINDOW;
    return PATH_OWN;
}

void flush_whole_window() {
    if (whole_window_viewport == NULL) {
        whole_window_viewport = TCOD_viewport_new();
        whole_window_viewport->keep_aspect = true;
        whole_window_viewport->integer_scaling = true;
        whole_window_viewport->clear_color = TCOD_ColorRGBA{0, 0, 0, 255};
        whole_window_viewport->align_x = 0.5f;
        whole_window_viewport->align_y = 0.5f;
    }
    TCOD_console_flush_ex(NULL, whole_window_viewport);
}

void place_view(const SDL_Surface* surface) {
    int width = picture->w, height = picture->h;
    int scale = surface->w / width < surface->h / height ? surface->w / width : surface->h / height;
    if (scale >= 1) {
        width *= scale;
        height *= scale;
    } else if (surface->w * height <= surface->h * width) {
        height = surface->w * height / width;
        width = surface->w;
    } else {
        width = surface->h * width / height;
        height = surface->h;
    }
    view = View{{(surface->w - width) / 2, (surface->h - height) / 2, width, height}, scale};
}

// The picture follows the window's pixel format, so that copying it is a plain copy.
bool prepare_picture(const SDL_Surface* surface) {
    if (picture != NULL && picture->format->format == surface->format->format) return true;
    SDL_FreeSurface(picture);
    int tile_width = 0, tile_height = 0;
    TCOD_sys_get_char_size(&tile_width, &tile_height);
    picture = SDL_CreateRGBSurfaceWithFormat(0, CONSOLE_COLUMNS * tile_width,
                                             CONSOLE_ROWS * tile_height, 32,
                                             surface->format->format);
    all_stale = true;  // a new picture holds no cell yet
    return picture != NULL;
}

std::uint8_t mix(int fore, int ink, int alpha, int back) {
    return static_cast<std::uint8_t>((fore * ink / 255 * alpha + back * (255 - alpha)) / 255);
}

// Draws a cell at scale 1 as libtcod does: the background, then the glyph's tile tinted
// with the foreground over it.
void draw_into_picture(int column, int row, const ShownCell& cell) {
    const TCOD_Tileset* tileset = TCOD_get_default_tileset();
    int tile = cell.glyph >= 0 && cell.glyph < tileset->character_map_length
                   ? tileset->character_map[cell.glyph]
                   : 0;
    if (tile < 0 || tile >= tileset->tiles_count) tile = 0;
    const TCOD_ColorRGBA* ink = tileset->pixels + tile * tileset->tile_length;
    for (int y = 0; y < tileset->tile_height; y++) {
        auto* out =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(picture->pixels) +
                                             (row * tileset->tile_height + y) * picture->pitch) +
            column * tileset->tile_width;
        for (int x = 0; x < tileset->tile_width; x++, ink++)
            out[x] = SDL_MapRGB(picture->format, mix(cell.fore.r, ink->r, ink->a, cell.back.r),
                                mix(cell.fore.g, ink->g, ink->a, cell.back.g),
                                mix(cell.fore.b, ink->b, ink->a, cell.back.b));
    }
}

// Copies part of the picture into the window, each pixel scale x scale times.
void copy_scaled(const SDL_Rect& from, SDL_Surface* surface) {
    int scale = view.scale;
    for (int y = 0; y < from.h * scale; y++) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(picture->pixels) +
            (from.y + y / scale) * picture->pitch);
        auto* out =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                             (view.rect.y + from.y * scale + y) * surface->pitch);
        out += view.rect.x + from.x * scale;
        for (int x = 0; x < from.w * scale; x++) out[x] = in[from.x + x / scale];
    }
}

bool same_cell(const ShownCell& a, const ShownCell& b) {
    return a.glyph == b.glyph && TCOD_color_equals(a.fore, b.fore) &&
           TCOD_color_equals(a.back, b.back);
}

// Draws the changed cells into the picture; returns how many, their places in `changed`.
int update_picture(SDL_Rect* changed) {
    int tile_width = picture->w / CONSOLE_COLUMNS, tile_height = picture->h / CONSOLE_ROWS;
    int count = 0;
    for (int row = 0; row < CONSOLE_ROWS; row++)
        for (int column = 0; column < CONSOLE_COLUMNS; column++) {
            ShownCell cell{TCOD_console_get_char(NULL, column, row),
                           TCOD_console_get_char_foreground(NULL, column, row),
                           TCOD_console_get_char_background(NULL, column, row)};
            ShownCell& before = shown[row * CONSOLE_COLUMNS + column];
            if (!all_stale && same_cell(cell, before)) continue;
            before = cell;
            draw_into_picture(column, row, cell);
            changed[count++] =
                SDL_Rect{column * tile_width, row * tile_height, tile_width, tile_height};
        }
    return count;
}

void send_picture(SDL_Window* window, SDL_Surface* surface, SDL_Rect* changed, int count) {
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    if (all_stale) SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 0, 0, 0));
    if (view.scale == 0) {
        SDL_BlitScaled(picture, NULL, surface, &view.rect);
        changed[0] = view.rect;
        count = 1;
    } else {
        for (int i = 0; i < count; i++) {
            copy_scaled(changed[i], surface);
            changed[i] = SDL_Rect{view.rect.x + changed[i].x * view.scale,
                                  view.rect.y + changed[i].y * view.scale,
                                  changed[i].w * view.scale, changed[i].h * view.scale};
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (all_stale)
        SDL_UpdateWindowSurface(window);
    else
        SDL_UpdateWindowSurfaceRects(window, changed, count);
}

void flush_own() {
    SDL_Window* window = TCOD_sys_get_sdl_window();
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == NULL || !prepare_picture(surface)) return;
    // A resized window gets a new surface, and a new surface holds nothing yet.
    if (surface != last_surface || surface->w != last_width || surface->h != last_height) {
        last_surface = surface;
        last_width = surface->w;
        last_height = surface->h;
        all_stale = true;
        place_view(surface);
    }
    int count = update_picture(changed_rects);
    if (count > 0 || all_stale) send_picture(window, surface, changed_rects, count);
    all_stale = false;
}

}  // namespace

void flush_console() {
    if (path == PATH_UNDECIDED) path = choose_path();
    if (path == PATH_OWN)
        flush_own();
    else
        flush_whole_window();
}

void redraw_window() {
    all_stale = true;
    flush_console();
}
