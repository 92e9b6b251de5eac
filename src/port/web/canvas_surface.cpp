#include "port/web/canvas_surface.h"

#include <emscripten.h>

#include <algorithm>

namespace {

// The page's side. Colours come as COLORREF values (red in the low byte).
EM_JS(void, CanvasStart, (int width, int height, int colour), {
    const canvas = document.getElementById('saver');
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext('2d', {alpha : false});
    Module.varbules = {context : context, sprites : new Map()};
    context.fillStyle = Module.cssColour(colour);
    context.fillRect(0, 0, width, height);
});

EM_JS(void, CanvasFillDisc, (int left, int top, int width, int height, int colour), {
    const page = Module.varbules;
    // A number for a key: the colour's 24 bits, then the size's (no string to build per disc).
    const key = colour + (width * 16384 + height) * 16777216;
    let sprite = page.sprites.get(key);
    if (!sprite) {
        sprite = document.createElement('canvas');
        sprite.width = width;
        sprite.height = height;
        const sc = sprite.getContext('2d');
        const image = sc.createImageData(width, height);
        const rx = width / 2, ry = height / 2;
        for (let y = 0; y < height; y++) {
            for (let x = 0; x < width; x++) {
                const u = (x + 0.5 - rx) / rx, v = (y + 0.5 - ry) / ry;
                if (u * u + v * v <= 1) {
                    const at = 4 * (y * width + x);
                    image.data[at] = colour & 255;
                    image.data[at + 1] = (colour >> 8) & 255;
                    image.data[at + 2] = (colour >> 16) & 255;
                    image.data[at + 3] = 255;
                }
            }
        }
        sc.putImageData(image, 0, 0);
        page.sprites.set(key, sprite);
    }
    page.context.drawImage(sprite, left, top);
});

// Measured a character at a time, as lines are drawn, so that a line's cell is exactly
// as wide as its measure says.
EM_JS(int, CanvasTextWidth, (const char* text, int length), {
    const context = Module.varbules.context;
    context.font = Module.textFont;
    let width = 0;
    for (const c of UTF8ToString(text, length))
        width += context.measureText(c).width;
    return Math.ceil(width);
});

// A line of text is drawn once into a picture of its own, in its opaque cell, and that
// picture is what every frame puts on the canvas: the credit line never changes, and the
// rate label once a second.
EM_JS(void, CanvasDrawText, (int x, int y, const char* text, int length, int extra, int background, int colour),
      {
          const page = Module.varbules;
          const line = UTF8ToString(text, length);
          const key = line + '|' + extra + '|' + background + '|' + colour;
          page.lines = page.lines || new Map();
          let picture = page.lines.get(key);
          if (!picture) {
              const context = page.context;
              context.font = Module.textFont;
              let width = 0, count = 0;
              for (const c of line) {
                  width += context.measureText(c).width;
                  count++;
              }
              picture = document.createElement('canvas');
              picture.width = Math.max(Math.ceil(width) + extra * count, 1);
              picture.height = Module.textHeight;
              const pc = picture.getContext('2d');
              pc.fillStyle = Module.cssColour(background);
              pc.fillRect(0, 0, picture.width, picture.height);
              pc.font = Module.textFont;
              pc.textBaseline = 'top';
              pc.fillStyle = Module.cssColour(colour);
              let at = 0;
              for (const c of line) {
                  pc.fillText(c, at, 1);
                  at += pc.measureText(c).width + extra;
              }
              if (page.lines.size > 16)
                  page.lines.clear();
              page.lines.set(key, picture);
          }
          page.context.drawImage(picture, x, y);
      });

EM_JS(int, PageWidth, (), { return Math.round(window.innerWidth * (window.devicePixelRatio || 1)); });
EM_JS(int, PageHeight, (), { return Math.round(window.innerHeight * (window.devicePixelRatio || 1)); });
EM_JS(int, TextHeight, (), { return Module.textHeight; });

}  // namespace

CanvasSurface::CanvasSurface(int width, int height, Colour background)
    : width_(std::max(width, 1)), height_(std::max(height, 1))
{
    CanvasStart(width_, height_, static_cast<int>(background));
}

Surface::Brush CanvasSurface::MakeBrush(Colour colour)
{
    brushes_.push_back(colour);
    return brushes_.size();
}

Surface::Region CanvasSurface::MakeDiscRegion(const PixelRect& bounds)
{
    regions_.push_back(bounds);
    return regions_.size();
}

void CanvasSurface::FillRegion(Region region, Brush brush)
{
    if (region == 0 || region > regions_.size() || brush == 0 || brush > brushes_.size())
        return;
    const PixelRect& r = regions_[region - 1];
    // An empty region (a disc of diameter 0 on a tiny screen) fills nothing; the canvas
    // clips whatever stands beyond its edges.
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    CanvasFillDisc(r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<int>(brushes_[brush - 1]));
}

void CanvasSurface::MoveRegion(Region region, std::int32_t dx, std::int32_t dy)
{
    if (region == 0 || region > regions_.size())
        return;
    PixelRect& r = regions_[region - 1];
    r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

PixelSize CanvasSurface::MeasureText(const char* text, std::int32_t length)
{
    const std::int32_t n = std::max(length, 0);
    return {CanvasTextWidth(text, n) + characterExtra_ * n, TextHeight()};
}

void CanvasSurface::SetTextStyle(Colour background, Colour text, std::int32_t characterExtra)
{
    textBackground_ = background;
    textColour_ = text;
    characterExtra_ = characterExtra;
}

void CanvasSurface::DrawTextLine(std::int32_t x, std::int32_t y, const char* text, std::int32_t length)
{
    CanvasDrawText(x, y, text, std::max(length, 0), characterExtra_, static_cast<int>(textBackground_),
                   static_cast<int>(textColour_));
}

PixelSize PageSize()
{
    return {PageWidth(), PageHeight()};
}
