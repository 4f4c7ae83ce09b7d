// The overlay's life cycle: bringing up the port menu's GUI (display
// measuring, fonts, style, the GL renderer, the title picture, the update
// check, the language, the ready line), measuring text in its font, and
// taking it down.
#include "overlay/Overlay.h"

#include "overlay/AssetFiles.h"
#include "overlay/FontFiles.h"
#include "overlay/MenuMetrics.h"
#include "overlay/OverlayWindow.h"
#include "overlay/Translations.h"
#include "store/Settings.h"

#include "Version.h"

#include <imgui_impl_opengl3.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumaroll {

namespace {

// Icon code points the program draws, as inclusive pairs ending in 0.
const ImWchar kBrandIcons[] = {0xF09B, 0xF09B, 0xF167, 0xF167, 0xF392, 0xF392, 0};
const ImWchar kSolidIcons[] = {0xF00C, 0xF00C, 0xF030, 0xF030, 0xF05A, 0xF05A, 0xF0AA,
                               0xF0AA, 0xF11B, 0xF11C, 0xF1F8, 0xF1F8, 0xF25A, 0xF25A,
                               0xF3CF, 0xF3CF, 0xF7B6, 0xF7B6, 0xF8CC, 0xF8CC, 0};

// A copy of bytes in the GUI library's memory, which the font atlas frees.
void* atlasCopy(const std::vector<unsigned char>& bytes)
{
    void* copy = ImGui::MemAlloc(bytes.size());
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

void applyStyle(const MenuMetrics& metrics)
{
    ImGui::StyleColorsDark();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 12.f;
    style.FrameRounding = style.GrabRounding = style.TabRounding = 8.f;
    style.WindowPadding = ImVec2(18.f, 16.f);
    style.ItemSpacing = ImVec2(10.f, 10.f);
    style.Colors[ImGuiCol_WindowBg] = ImVec4(0.06f, 0.09f, 0.16f, 0.94f);
    style.Colors[ImGuiCol_Tab] = ImVec4(0.12f, 0.20f, 0.36f, 1.00f);
    style.Colors[ImGuiCol_TabActive] = ImVec4(0.20f, 0.36f, 0.62f, 1.00f);
    style.Colors[ImGuiCol_Button] = ImVec4(0.16f, 0.28f, 0.50f, 1.00f);
    style.ScaleAllSizes(std::max(0.8f, metrics.scale));
    if (metrics.compact) {
        const float mm = metrics.pxPerMm;
        style.FramePadding = ImVec2(2.5f * mm, 2.6f * mm);
        style.ItemSpacing = ImVec2(2.5f * mm, 2.5f * mm);
        style.ScrollbarSize = 4.f * mm;
        style.TouchExtraPadding = ImVec2(mm, mm);
    }
}

// Merges an icon font asset (relative to the assets folder) into the text
// font at sizePx; false when the asset cannot be read or used.
bool addFont(const char* relPath, const ImWchar* glyphRanges, float sizePx)
{
    ImGuiIO& io = ImGui::GetIO();
    const std::vector<unsigned char> bytes = readAssetFile(relPath);
    // Merging needs a font to merge into, and the library stops on a bad font.
    if (io.Fonts->ConfigData.empty() || !isUsableFont(bytes))
        return false;
    ImFontConfig config;
    config.MergeMode = true;
    config.PixelSnapH = true;
    config.GlyphMinAdvanceX = sizePx;
    config.FontDataOwnedByAtlas = true;
    return io.Fonts->AddFontFromMemoryTTF(atlasCopy(bytes), int(bytes.size()), 0.9f * sizePx, &config,
                                          glyphRanges) != nullptr;
}

} // namespace

Overlay::Overlay()
    : shared(noticeQueue), scrolling(shared, input), imports(shared), game(shared, noticeQueue, updates, imports),
      controls(shared, noticeQueue), graphics(shared), sound(shared), improvements(shared), about(shared)
{
}

bool Overlay::init(Window& window, const OverlayPlatform& platform)
{
    // The GL renderer draws with whatever context is current.
    if (guiUp)
        return true;
    IMGUI_CHECKVERSION();
    context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NavEnableGamepad;
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;

    const MenuMetrics metrics = measureMenu(windowPoints(&window).width, windowPixels(&window).width,
                                            windowPixels(&window).height, window.displayDpi(),
                                            std::getenv("LUMAROLL_MENU_COMPACT") != nullptr);

    // A font the library cannot read would stop the program: every file was
    // checked by chooseTextFont, and an unusable one is replaced by the
    // library's built-in font.
    const TextFontChoice font = chooseTextFont();
    if (font.fromEnvironment && !font.path.empty() && font.bytes.empty())
        std::fprintf(stderr, "port menu: cannot use font %s\n", font.path.c_str());
    const bool fontFile = !font.bytes.empty();
    if (fontFile) {
        // Every character of the installed languages, so that a chosen
        // language never shows "?" for what the font can draw.
        ImFontGlyphRangesBuilder ranges;
        ranges.AddRanges(io.Fonts->GetGlyphRangesDefault());
        const std::string texts = allLanguageTexts();
        ranges.AddText(texts.data(), texts.data() + texts.size());
        ranges.BuildRanges(&textRanges);
        ImFontConfig config;
        // The file's name, so that the atlas tells which font was taken.
        const std::size_t slash = font.path.find_last_of('/');
        const std::string name = slash == std::string::npos ? font.path : font.path.substr(slash + 1);
        std::snprintf(config.Name, sizeof config.Name, "%s", name.c_str());
        io.Fonts->AddFontFromMemoryTTF(atlasCopy(font.bytes), int(font.bytes.size()), metrics.fontPx, &config,
                                       textRanges.Data);
    } else {
        io.Fonts->AddFontDefault();
        io.FontGlobalScale = std::max(1.f, 1.5f * metrics.scale);
    }
    const float iconPx = fontFile ? metrics.fontPx : 13.f;
    bool iconsLoaded = addFont("fonts/icons-brands.ttf", kBrandIcons, iconPx) &&
                       addFont("fonts/icons-solid.ttf", kSolidIcons, iconPx);
    if (!io.Fonts->Build()) {
        // Not expected after the checks above; the built-in font always builds.
        io.Fonts->Clear();
        io.Fonts->AddFontDefault();
        io.Fonts->Build();
        iconsLoaded = false;
    }

    applyStyle(metrics);

    input.init();
    if (!ImGui_ImplOpenGL3_Init("#version 100")) {
        ImGui::DestroyContext(context);
        context = nullptr;
        return false;
    }
    shared.setUp(window, platform, metrics, iconsLoaded);
    shared.title().load();
    guiUp = true;

    updates = UpdateCheck(kLatestReleaseAddress, platform.releaseQuery);
    updateNoticeShown = false;
    if (Settings::instance().getBool("general.check_updates", true))
        updates.start(LUMAROLL_VERSION);
    Translations::instance().setLanguage(Settings::instance().getString("general.language", "auto"));
    std::printf(
        "port menu: ready (Esc, Back/View/- or a three finger tap), %.0f dpi, font %.0f px%s%s, language %s\n",
        double(metrics.dpi), double(metrics.fontPx), metrics.compact ? ", compact" : "",
        fontFile ? "" : " (no system font)", Translations::instance().language.c_str());
    return true;
}

void Overlay::shutdown()
{
    shared.title().release();
    if (!guiUp)
        return;
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL3_Shutdown();
    input.releaseAll();
    ImGui::DestroyContext(context);
    context = nullptr;
    guiUp = false;
}

TextSize Overlay::measureText(const std::string& text, float sizePx) const
{
    TextSize size;
    if (!guiUp)
        return size;
    ImGui::SetCurrentContext(context);
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    if (atlas->Fonts.empty())
        return size;
    const ImVec2 s = atlas->Fonts[0]->CalcTextSizeA(sizePx, FLT_MAX, 0.f, text.data(), text.data() + text.size());
    size.width = s.x;
    size.height = s.y;
    return size;
}

} // namespace lumaroll
