#include "picture/picture_renderer.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "picture/axis_ticks.h"
#include "picture/colour_map.h"
#include "picture/png_encoding.h"

namespace sonorel {
namespace {

// The bands from top to bottom: title, input spectrogram, its level strip,
// the two click lanes, output spectrogram, its level strip, time axis.
constexpr int kLeft = 70;  // the plots' left edge; axis labels to its left
constexpr int kTop = 86;
constexpr int kStripHeight = 44;
constexpr int kGap = 4;
constexpr int kLaneHeight = 12;
constexpr int kPanelGap = 18;
constexpr int kInputSpectrumTop = kTop;
constexpr int kInputStripTop = kInputSpectrumTop + kPictureRows + kGap;
constexpr int kLanesTop = kInputStripTop + kStripHeight + kGap;
constexpr int kOutputSpectrumTop = kLanesTop + 2 * kLaneHeight + kPanelGap;
constexpr int kOutputStripTop = kOutputSpectrumTop + kPictureRows + kGap;
constexpr int kTimeAxisTop = kOutputStripTop + kStripHeight + kGap;
constexpr int kPictureHeight = kTimeAxisTop + 38;
constexpr int kKeyLeft = kLeft + kPictureColumns + 18;
constexpr int kKeyWidth = 14;
static_assert(kKeyLeft + kKeyWidth + 52 <= kPictureWidth, "room for the key's labels");

// The level strips show 0 dBFS down to this.
constexpr float kStripFloorDb = -60.0f;

constexpr double kFontSize = 12.0;
constexpr const char* kFont = "DejaVu Sans";

struct Colour {
    double r, g, b;
};
constexpr Colour kInk{0.10, 0.10, 0.12};
constexpr Colour kFaintInk{0.40, 0.40, 0.44};
constexpr Colour kStripBackground{0.95, 0.95, 0.96};
constexpr Colour kRms{0.16, 0.33, 0.60};
constexpr Colour kPeak{0.60, 0.72, 0.90};
constexpr Colour kClickLeft{0.85, 0.20, 0.10};
constexpr Colour kClickRight{0.10, 0.45, 0.75};
constexpr Colour kNoData{0.82, 0.82, 0.84};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void SetColour(cairo_t* cr, const Colour& c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

enum class Align { Left, Centre, Right };

// Text whose baseline starts (or is centred, or ends) at x, y.
void Text(cairo_t* cr, double x, double y, const std::string& text, double size = kFontSize,
          bool bold = false, Align align = Align::Left) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    const double shift = align == Align::Left     ? 0.0
                         : align == Align::Centre ? extents.x_advance / 2
                                                  : extents.x_advance;
    cairo_move_to(cr, x - shift, y);
    cairo_show_text(cr, text.c_str());
}

double ColumnX(double column) {
    return kLeft + column;
}

// The colours of the scale in steps of 1 dB, as pixels: finer steps do not
// show, and the coarser texture makes the PNG file about 30 % smaller.
class ColourTable {
  public:
    static constexpr float kStepsPerDb = 1.0f;
    ColourTable() {
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const Rgb rgb = ColourOfDb(kQuietestDb + static_cast<float>(i) / kStepsPerDb);
            pixels_[i] =
                0xff000000u | (std::uint32_t{rgb.r} << 16) | (std::uint32_t{rgb.g} << 8) | rgb.b;
        }
    }
    std::uint32_t operator()(float db) const {
        const float step = std::clamp((db - kQuietestDb) * kStepsPerDb, 0.0f,
                                      static_cast<float>(pixels_.size() - 1));
        return pixels_[static_cast<std::size_t>(std::lround(step))];
    }

  private:
    std::array<std::uint32_t,
               static_cast<std::size_t>((kLoudestDb - kQuietestDb) * kStepsPerDb) + 1>
        pixels_;
};

// The spectrogram's pixels, written straight into the image: row 0 (the
// lowest frequencies) at the bottom.
void DrawSpectrogram(cairo_surface_t* surface, const ColumnSpectrogram& spectrum, int top) {
    static const ColourTable colours;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int covered = std::min(spectrum.CoveredColumns(), kPictureColumns);
    for (int c = 0; c < covered; ++c) {
        for (int r = 0; r < kPictureRows; ++r) {
            const std::uint32_t colour = colours(spectrum.LevelDb(c, r));
            auto* pixel =
                reinterpret_cast<std::uint32_t*>(data + (top + kPictureRows - 1 - r) * stride) +
                kLeft + c;
            *pixel = colour;
        }
    }
    cairo_surface_mark_dirty(surface);
}

// Columns the signal never reached (the end of an output that keeps the
// kernel's delay, or a run that stopped early): grey, hatched, and said.
void DrawNoData(cairo_t* cr, int coveredColumns, int top, int height) {
    if (coveredColumns >= kPictureColumns) return;
    const double x = ColumnX(coveredColumns);
    const double width = kPictureColumns - coveredColumns;
    SetColour(cr, kNoData);
    cairo_rectangle(cr, x, top, width, height);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_rectangle(cr, x, top, width, height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.72, 0.72, 0.75);
    cairo_set_line_width(cr, 1.0);
    for (double d = -height; d < width; d += 8.0) {
        cairo_move_to(cr, x + d, top + height);
        cairo_line_to(cr, x + d + height, top);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    if (width > 90 && height > 30) {
        SetColour(cr, kFaintInk);
        Text(cr, x + width / 2, top + height / 2.0 + 4, "not in the output", 11, false,
             Align::Centre);
    }
}

void DrawFrequencyAxis(cairo_t* cr, int top, int sampleRate) {
    const double nyquistKhz = sampleRate / 2000.0;
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 1.0);
    for (const Tick& tick : FrequencyTicks(nyquistKhz, 7)) {
        const double y = top + kPictureRows - kPictureRows * tick.value / nyquistKhz;
        cairo_move_to(cr, kLeft - 5, y + 0.5);
        cairo_line_to(cr, kLeft, y + 0.5);
        cairo_stroke(cr);
        Text(cr, kLeft - 8, y + 4, tick.label, 11, false, Align::Right);
    }
    // Rotation turns about the origin, so move the origin to the label first.
    cairo_save(cr);
    cairo_translate(cr, 16, top + kPictureRows / 2.0);
    cairo_rotate(cr, -M_PI / 2);
    Text(cr, 0, 0, "kHz", 11, false, Align::Centre);
    cairo_restore(cr);
}

// A panel's name in its top left corner, light on a dark band.
void DrawPanelLabel(cairo_t* cr, int top, const std::string& label) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, kFontSize);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, label.c_str(), &extents);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.6);
    cairo_rectangle(cr, kLeft, top, extents.x_advance + 16, 22);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    Text(cr, kLeft + 8, top + 15, label, kFontSize, true);
}

double StripY(float db, int top) {
    const double fraction = std::clamp(db / kStripFloorDb, 0.0f, 1.0f);
    return top + fraction * kStripHeight;
}

// The level over time: the RMS of each column as a bar from the floor, its
// peak as a lighter bar behind it.
void DrawLevelStrip(cairo_t* cr, const ColumnLevels& levels, int top) {
    SetColour(cr, kStripBackground);
    cairo_rectangle(cr, kLeft, top, kPictureColumns, kStripHeight);
    cairo_fill(cr);
    const int covered = std::min(levels.CoveredColumns(), kPictureColumns);
    for (int pass = 0; pass < 2; ++pass) {
        SetColour(cr, pass == 0 ? kPeak : kRms);
        for (int c = 0; c < covered; ++c) {
            const float db = pass == 0 ? levels.PeakDb(c) : levels.RmsDb(c);
            const double y = StripY(db, top);
            cairo_rectangle(cr, ColumnX(c), y, 1.0, top + kStripHeight - y);
        }
        cairo_fill(cr);
    }
    DrawNoData(cr, covered, top, kStripHeight);
    SetColour(cr, kInk);
    Text(cr, kLeft - 8, top + 9, "0 dB", 10, false, Align::Right);
    Text(cr, kLeft - 8, top + kStripHeight, "-60", 10, false, Align::Right);
}

void DrawClickLanes(cairo_t* cr, const PictureContent& content) {
    const struct {
        std::span<const std::uint8_t> clicks;
        const char* name;
        Colour colour;
    } lanes[] = {{content.clicksLeft, "clicks L", kClickLeft},
                 {content.clicksRight, "clicks R", kClickRight}};
    for (int lane = 0; lane < 2; ++lane) {
        const int top = kLanesTop + lane * kLaneHeight;
        SetColour(cr, kStripBackground);
        cairo_rectangle(cr, kLeft, top + 1, kPictureColumns, kLaneHeight - 2);
        cairo_fill(cr);
        SetColour(cr, lanes[lane].colour);
        const std::span<const std::uint8_t> clicks = lanes[lane].clicks;
        const int columns = std::min<int>(static_cast<int>(clicks.size()), kPictureColumns);
        for (int c = 0; c < columns; ++c) {
            if (clicks[c] != 0)
                cairo_rectangle(cr, ColumnX(c) - 0.5, top + 1, 2.0, kLaneHeight - 2);
        }
        cairo_fill(cr);
        Text(cr, kLeft - 8, top + kLaneHeight - 2, lanes[lane].name, 10, false, Align::Right);
    }
}

void DrawTimeAxis(cairo_t* cr, const PictureContent& content) {
    const double seconds = static_cast<double>(content.lengthFrames) / content.sampleRate;
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 1.0);
    for (const Tick& tick : TimeTicks(seconds, 12)) {
        const double x = std::round(ColumnX(kPictureColumns * tick.value / seconds)) + 0.5;
        // A tick under each panel, so the eye carries the time up.
        for (const int y : {kLanesTop + 2 * kLaneHeight, kTimeAxisTop}) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 5);
        }
        cairo_stroke(cr);
        Text(cr, x, kTimeAxisTop + 18, tick.label, 11, false, Align::Centre);
    }
    Text(cr, kLeft + kPictureColumns, kTimeAxisTop + 33, "time (minutes:seconds)", 11, false,
         Align::Right);
}

// One key for both spectrograms, beside them from the top of the first to
// the bottom of the second.
void DrawColourKey(cairo_t* cr) {
    const int top = kInputSpectrumTop;
    const int height = kOutputSpectrumTop + kPictureRows - top;
    for (int y = 0; y < height; ++y) {
        const float db = kLoudestDb - (kLoudestDb - kQuietestDb) * (y + 0.5f) / height;
        const Rgb rgb = ColourOfDb(db);
        cairo_set_source_rgb(cr, rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0);
        cairo_rectangle(cr, kKeyLeft, top + y, kKeyWidth, 1);
        cairo_fill(cr);
    }
    SetColour(cr, kInk);
    for (float db = kLoudestDb; db >= kQuietestDb; db -= 20.0f) {
        const double y = top + height * (kLoudestDb - db) / (kLoudestDb - kQuietestDb);
        cairo_move_to(cr, kKeyLeft + kKeyWidth, y + 0.5);
        cairo_line_to(cr, kKeyLeft + kKeyWidth + 4, y + 0.5);
        cairo_stroke(cr);
        Text(cr, kKeyLeft + kKeyWidth + 7, y + 4, std::to_string(static_cast<int>(db)), 11);
    }
    Text(cr, kKeyLeft + kKeyWidth / 2.0, top - 6, "dB", 11, false, Align::Centre);
}

void DrawPanel(cairo_t* cr, cairo_surface_t* surface, const PicturePanel& panel, int top,
               int sampleRate) {
    DrawSpectrogram(surface, *panel.spectrum, top);
    DrawNoData(cr, std::min(panel.spectrum->CoveredColumns(), kPictureColumns), top, kPictureRows);
    DrawPanelLabel(cr, top, panel.label);
    DrawFrequencyAxis(cr, top, sampleRate);
    DrawLevelStrip(cr, *panel.levels, top + kPictureRows + kGap);
}

}  // namespace

bool RenderPicture(const PictureContent& content, std::vector<unsigned char>& png,
                   std::string& error) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureWidth, kPictureHeight),
                    cairo_surface_destroy);
    Context context(cairo_create(surface.get()), cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    SetColour(cr, kInk);
    Text(cr, kLeft, 26, content.title, 17, true);
    SetColour(cr, kFaintInk);
    Text(cr, kLeft, 48, content.settingsLine);
    SetColour(cr, kInk);
    Text(cr, kLeft, 68, content.figuresLine);

    DrawPanel(cr, surface.get(), content.input, kInputSpectrumTop, content.sampleRate);
    DrawClickLanes(cr, content);
    DrawPanel(cr, surface.get(), content.output, kOutputSpectrumTop, content.sampleRate);
    DrawTimeAxis(cr, content);
    DrawColourKey(cr);

    const cairo_status_t status = cairo_status(cr);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(status);
        return false;
    }
    cairo_surface_flush(surface.get());
    return EncodePng(cairo_image_surface_get_data(surface.get()), kPictureWidth, kPictureHeight,
                     cairo_image_surface_get_stride(surface.get()), png, error);
}

}  // namespace sonorel
