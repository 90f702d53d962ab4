#include "ui/font.hpp"

#include <cmath>

namespace vx::ui {

namespace {

void applyFont(PangoLayout* layout, const FontSpec& font) {
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family_static(desc, kFontFamily);
  pango_font_description_set_weight(desc, static_cast<PangoWeight>(weightNumber(font.weight)));
  // Absolute size: one point of font size is one unit of user space, whatever the surface.
  pango_font_description_set_absolute_size(desc, font.size * PANGO_SCALE);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);

  if (font.tabularDigits) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_font_features_new("tnum"));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
}

}  // namespace

void configureContext(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

GObjectPtr<PangoContext> newMeasuringContext() {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  GObjectPtr<PangoContext> context(pango_font_map_create_context(map));
  configureContext(context.get());
  return context;
}

GObjectPtr<PangoLayout> newLineLayout(PangoContext* context, std::string_view text,
                                      const FontSpec& font) {
  GObjectPtr<PangoLayout> layout(pango_layout_new(context));
  applyFont(layout.get(), font);
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

GObjectPtr<PangoLayout> newWrappingLayout(PangoContext* context, std::string_view text,
                                          const FontSpec& font, double width) {
  GObjectPtr<PangoLayout> layout(pango_layout_new(context));
  applyFont(layout.get(), font);
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  // Pango units are integers: round down so that no line comes out wider than `width`.
  pango_layout_set_width(layout.get(), static_cast<int>(std::floor(width * PANGO_SCALE)));
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

}  // namespace vx::ui
