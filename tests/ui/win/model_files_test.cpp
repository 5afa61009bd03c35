// The model file commands through the main window: open with the preview dialog, save,
// quick save (asking for a name after an example model), the question before a model is
// replaced, all-or-nothing loading, the recent lists in the registry and the example
// menus; and screenshots of the open dialog previewing a model, in English and Russian.
#include "tests/ui/win/destroy_frame.h"
#include "tests/ui/win/frame_suite.h"
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/text/example_items.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/plot_palette.h"
#include "tests/ui/gui/screenshot.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/logic/language_list.h"
#include "ui/dialogs/open_dialog.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"

namespace fs = std::filesystem;

namespace {

std::wstring menu_text(HMENU menu, UINT id)
{
    wchar_t text[512] = {};
    GetMenuStringW(menu, id, text, 512, MF_BYCOMMAND);
    return text;
}

std::wstring example_title(bool (*item)(unsigned, std::wstring&), unsigned n)
{
    std::wstring text, title;
    item(n, text);
    KeywordList keys;
    kwfile_load_from_memory(text, keys);
    kwlist_find(keys, L"Title", title);
    return title;
}

// Message boxes and file dialogs are recorded, not shown (RecordedDialogs).
class ModelFilesTest : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite()
    {
        frame_suite::set_up();
        folder = frame_suite::make_folder(L"vx-models");
    }
    static void TearDownTestSuite() { frame_suite::tear_down(folder); }

    void SetUp() override
    {
        for (const wchar_t* key : {CMainFrame::models_key, CMainFrame::folders_key}) RegDeleteTreeW(HKEY_CURRENT_USER, key);
        background = plot_palette(0)->colors[4];
    }
    void TearDown() override
    {
        destroy_frame(frame);
        set_resource_language(0x409);
        set_message_language(0x409);
        plot_palette(0)->colors[4] = background;
        for (const wchar_t* key : {CMainFrame::models_key, CMainFrame::folders_key}) RegDeleteTreeW(HKEY_CURRENT_USER, key);
    }

    void create(WORD langid = 0x409)
    {
        ASSERT_TRUE(frame_suite::create_frame(frame, langid));
        SetWindowPos(frame->hwnd(), nullptr, 10, 10, 900, 640, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
    }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    static std::wstring file(const wchar_t* name) { return (folder / name).wstring(); }
    std::size_t components() { return frame->document().model.component_count(); }

    inline static fs::path folder;
    std::unique_ptr<CMainFrame> frame;

private:
    COLORREF background = 0;
};

class Document final : public IDocumentChanges {
public:
    bool save_succeeds = false;
    int saves = 0;
    bool model_changed() const override { return true; }
    bool save_model() override { return ++saves, save_succeeds; }
};

} // namespace

TEST_F(ModelFilesTest, TheExampleMenusOfferTheStoredTitlesInBothLanguages)
{
    for (WORD langid : {WORD{0x409}, WORD{0x419}}) {
        create(langid);
        const HMENU menu = GetMenu(frame->hwnd());
        for (unsigned n = 0; n < 4; ++n) {
            EXPECT_EQ(menu_text(menu, ID_FILE_DEMO_SPECTRUM_FIRST + n), example_title(demo_spectrum_item, n)) << n;
            EXPECT_EQ(menu_text(menu, ID_FILE_DEMO_MODEL_FIRST + n), example_title(demo_model_item, n)) << n;
            EXPECT_FALSE(GetMenuState(menu, ID_FILE_DEMO_MODEL_FIRST + n, MF_BYCOMMAND) & MF_GRAYED);
        }
        EXPECT_EQ(GetMenuState(menu, ID_FILE_DEMO_MODEL_FIRST + 4, MF_BYCOMMAND), static_cast<UINT>(-1));
        frame->set_document_changes(nullptr);
        DestroyWindow(frame->hwnd());
    }
}

TEST_F(ModelFilesTest, OpenSaveAndQuickSaveThroughTheFrame)
{
    create();
    // An example spectrum and its model: no unsaved changes, nothing to undo.
    command(ID_FILE_DEMO_SPECTRUM_FIRST);
    EXPECT_EQ(frame->spectrum().x_data.size(), 512u);
    EXPECT_FALSE(frame->document().spectrum_history.can_undo());
    command(ID_FILE_DEMO_MODEL_FIRST);
    ASSERT_TRUE(shown.empty());
    EXPECT_EQ(components(), 2u);
    EXPECT_TRUE(frame->model_file_name().is_example());
    EXPECT_EQ(frame->model_file_name().name(), example_title(demo_model_item, 0));

    // Quick save after an example asks for a name, proposing the example's title.
    const std::wstring first = file(L"first.mdl");
    chosen_files = {first};
    command(ID_FILE_SAVE_MODEL_QUICK);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].initial_name, example_title(demo_model_item, 0));
    EXPECT_EQ(requests[0].filter, L"Model files (*.mdl)|*.mdl|All files (*.*)|*.*");
    ASSERT_TRUE(fs::exists(first));
    EXPECT_EQ(frame->model_file_name().name(), first);
    EXPECT_FALSE(frame->document().model_history.is_modified());

    // Quick save now writes there without asking.
    frame->document().add_expression(0, L"H", L"[2:Hn]/10");
    command(ID_FILE_SAVE_MODEL_QUICK);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_FALSE(frame->document().model_history.is_modified());
    EXPECT_NE(read_text_file(first).find(L"Hn]/10"), std::wstring::npos);

    // Another example, then Open model: the preview dialog, and the saved model comes back.
    command(ID_FILE_DEMO_MODEL_FIRST + 2);
    EXPECT_EQ(components(), 3u);
    chosen_files = {first};
    command(ID_FILE_OPEN_MODEL);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].save);
    EXPECT_NE(requests[1].extension, nullptr);
    EXPECT_EQ(requests[1].extension->template_id(), 10011u);
    EXPECT_EQ(requests[1].initial_folder, L"");
    EXPECT_EQ(components(), 2u);
    EXPECT_EQ(frame->document().model.expressions.size(), 1u);
    EXPECT_EQ(frame->model_file_name().name(), first);
    // The first model opened makes its folder the current one and the newest recent one.
    const std::wstring where = folder.wstring();
    EXPECT_EQ(frame->default_folder(), where);
    EXPECT_EQ(RegistryListStore(CMainFrame::folders_key).read_string(L"Document1"), where);
    EXPECT_EQ(RegistryListStore(CMainFrame::models_key).read_string(L"Document1"), first);
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), ID_FILE_RECENT_MODEL_FIRST), L"&1 " + first);

    // Save model under another name: the dialog starts in the current folder with the name.
    const std::wstring second = file(L"second.mdl");
    chosen_files = {second};
    command(ID_FILE_SAVE_MODEL);
    EXPECT_EQ(requests.back().initial_folder, where);
    EXPECT_EQ(requests.back().initial_name, first);
    EXPECT_EQ(frame->model_file_name().name(), second);
    EXPECT_TRUE(fs::exists(second));
    // The recent list and the current folder stay; the next dialog starts in the folder.
    EXPECT_EQ(frame->recent_models().size(), 1u);
    chosen_files.clear();
    command(ID_FILE_OPEN_MODEL);
    EXPECT_EQ(requests.back().initial_folder, where);
    EXPECT_EQ(requests.back().initial_name, L"");
    EXPECT_TRUE(shown.empty());
}

TEST_F(ModelFilesTest, AFailedSaveChangesNeitherNameNorSavedState)
{
    create();
    command(ID_FILE_DEMO_SPECTRUM_FIRST + 1);
    chosen_files = {file(L"np.spc"), L"Z:\\no\\such\\folder\\x.mdl"};
    command(ID_FILE_SAVE_SPECTRUM);
    command(ID_FILE_DEMO_MODEL_FIRST + 1);
    frame->document().add_expression(0, L"x", L"1");
    command(ID_FILE_SAVE_MODEL);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Save failed");
    EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(frame->model_file_name().is_example());
    EXPECT_TRUE(frame->document().model_history.is_modified());
    EXPECT_FALSE(kwlist_has(frame->document().model.keywords, L"Spectrum"));
}

TEST_F(ModelFilesTest, YesGoesOnOnlyWhenTheSaveSucceededAndCancelKeepsEverything)
{
    struct Case {
        int answer;
        bool save_succeeds;
        bool goes_on;
        int saves;
    };
    const Case cases[] = {
        {IDYES, false, false, 1},  // a failed or cancelled save: the model stays
        {IDYES, true, true, 1},
        {IDNO, true, true, 0},
        {IDCANCEL, true, false, 0},
    };
    create();
    for (UINT id : {UINT{ID_FILE_OPEN_MODEL}, UINT{ID_FILE_DEMO_MODEL_FIRST + 1}, UINT{ID_FILE_DEMO_SPECTRUM_FIRST + 1}}) {
        for (const Case& c : cases) {
            shown.clear();
            command(ID_FILE_DEMO_SPECTRUM_FIRST);  // nothing changed: no question
            command(ID_FILE_DEMO_MODEL_FIRST);
            ASSERT_TRUE(shown.empty());
            Document document;
            document.save_succeeds = c.save_succeeds;
            frame->set_document_changes(&document);
            requests.clear();
            answers = {c.answer};
            const double last_x = frame->spectrum().x_data.back();
            command(id);
            ASSERT_EQ(shown.size(), 1u) << id;
            EXPECT_EQ(shown[0].text, MessageText(50012).str());
            EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
            EXPECT_EQ(document.saves, c.saves);
            if (id == ID_FILE_OPEN_MODEL) {
                EXPECT_EQ(requests.size(), c.goes_on ? 1u : 0u) << c.answer;
            } else if (id == ID_FILE_DEMO_MODEL_FIRST + 1) {
                EXPECT_EQ(frame->model_file_name().name() == example_title(demo_model_item, 1), c.goes_on);
            } else {
                EXPECT_EQ(frame->spectrum().x_data.back() != last_x, c.goes_on);
                EXPECT_EQ(frame->model_file_name().name().empty(), c.goes_on);
            }
            frame->set_document_changes(nullptr);
        }
    }
}

TEST_F(ModelFilesTest, AnExampleSpectrumOverAnEditedSpectrumAsksFirst)
{
    create();
    command(ID_FILE_DEMO_SPECTRUM_FIRST);
    ASSERT_TRUE(frame->document().invert_spectrum());
    const std::vector<double> edited = frame->spectrum().y_data;
    answers = {IDCANCEL};
    command(ID_FILE_DEMO_SPECTRUM_FIRST + 1);
    EXPECT_EQ(texts(), std::vector<std::wstring>{MessageText(50013).str()});
    EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(frame->spectrum().y_data, edited);
    EXPECT_TRUE(frame->document().spectrum_history.can_undo());

    answers = {IDNO};
    command(ID_FILE_DEMO_SPECTRUM_FIRST + 1);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_NE(frame->spectrum().y_data, edited);
    EXPECT_FALSE(frame->document().spectrum_history.can_undo());
}

TEST_F(ModelFilesTest, LoadingIsAllOrNothingAndAFailingRecentEntryLeaves)
{
    create();
    command(ID_FILE_DEMO_MODEL_FIRST);
    const std::wstring good = file(L"good.mdl");
    chosen_files = {good};
    command(ID_FILE_SAVE_MODEL_QUICK);
    // A copy whose background colour has no digits, and one naming a model type that does not exist.
    const std::wstring text = read_text_file(good);
    const std::wstring bad_colour = file(L"bad-colour.mdl"), bad_type = file(L"bad-type.mdl");
    write_text_file(bad_colour, text + L"BackgroundColor:blue\n");
    std::wstring unknown = text;
    unknown.replace(unknown.find(L"PseudoVoigt sextet"), 18, L"No such model type");
    write_text_file(bad_type, unknown);

    command(ID_FILE_DEMO_MODEL_FIRST + 2);  // three components, an example's name
    const DVector values = frame->document().values;
    const COLORREF colour = plot_palette(0)->colors[4];
    for (const std::wstring& path : {bad_colour, bad_type}) {
        shown.clear();
        frame->OpenModelFile(path, 0);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, L"Open failed");
        EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(components(), 3u) << path;
        EXPECT_EQ(frame->document().values.size(), values.size());
        EXPECT_EQ(frame->model_file_name().name(), example_title(demo_model_item, 2));
        EXPECT_EQ(frame->default_folder(), L"");
        EXPECT_EQ(plot_palette(0)->colors[4], colour);
    }
    // A good file with its colour.
    write_text_file(good, text + L"BackgroundColor:" + std::to_wstring(0x102030) + L"\n");
    frame->OpenModelFile(good, 0);
    EXPECT_EQ(components(), 2u);
    EXPECT_EQ(plot_palette(0)->colors[4], 0x102030u);

    // A recent entry that no longer loads is shown, and leaves menu and registry.
    frame->OpenModelFile(bad_type, 0);  // not from the list: not added
    EXPECT_EQ(frame->recent_models().size(), 1u);
    fs::copy_file(good, file(L"gone.mdl"));
    frame->OpenModelFile(file(L"gone.mdl"), 0);
    ASSERT_EQ(frame->recent_models().size(), 2u);
    fs::remove(file(L"gone.mdl"));
    shown.clear();
    command(ID_FILE_RECENT_MODEL_FIRST);  // the newest: gone.mdl
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Open failed");
    EXPECT_EQ(frame->recent_models().size(), 1u);
    EXPECT_EQ(RegistryListStore(CMainFrame::models_key).read_string(L"Document1"), good);
    EXPECT_FALSE(RegistryListStore(CMainFrame::models_key).read_string(L"Document2"));
    EXPECT_EQ(menu_text(GetMenu(frame->hwnd()), ID_FILE_RECENT_MODEL_FIRST), L"&1 " + good);
}

TEST_F(ModelFilesTest, SetDefaultFolderUsesThePickedFolder)
{
    create();
    std::vector<std::wstring> starts;
    std::optional<std::wstring> answer = L"C:\\models";
    const FolderDialogFunction previous = set_folder_dialog_function([&](HWND, const std::wstring& start) {
        starts.push_back(start);
        return answer;
    });
    command(ID_FILE_SET_DEFAULT_FOLDER);
    EXPECT_EQ(frame->default_folder(), L"C:\\models");
    EXPECT_EQ(RegistryListStore(CMainFrame::folders_key).read_string(L"Document1"), L"C:\\models");
    answer.reset();
    command(ID_FILE_SET_DEFAULT_FOLDER);
    EXPECT_EQ(frame->default_folder(), L"C:\\models");
    EXPECT_EQ(starts, (std::vector<std::wstring>{L"", L"C:\\models"}));
    set_folder_dialog_function(previous);
}

namespace {

// The open dialog on the screen: a thread timer selects the model, waits for the
// preview to be painted, takes the screenshot and cancels the dialog.
struct ShotState {
    COpenDialog* dialog = nullptr;
    std::wstring model, png;
    int ticks = 0;
    HWND window = nullptr;
    Screenshot shot;
    RECT preview{}, list{};
};
ShotState* shot_state = nullptr;

void CALLBACK on_shot_timer(HWND, UINT, UINT_PTR, DWORD)
{
    ShotState& s = *shot_state;
    ++s.ticks;
    if (!s.window) s.window = modal_test::find_dialog();
    if (!s.window) return;
    if (s.ticks == 3) s.dialog->OnFileSelected(s.model);
    if (s.ticks == 12) {
        if (const HWND preview = s.dialog->preview().window()) GetWindowRect(preview, &s.preview);
        if (const HWND list = FindWindowExW(s.window, nullptr, L"SHELLDLL_DefView", nullptr)) GetWindowRect(list, &s.list);
        s.shot = capture_window(s.window);
    }
    if (s.ticks >= 13) PostMessageW(s.window, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

TEST_F(ModelFilesTest, ScreenshotsOfTheOpenDialogPreviewingAModelInEnglishAndRussian)
{
    // A model that names its spectrum: the preview draws both.
    create();
    command(ID_FILE_DEMO_SPECTRUM_FIRST + 2);
    chosen_files = {file(L"magnetite.spc"), file(L"magnetite.mdl")};
    command(ID_FILE_SAVE_SPECTRUM);
    command(ID_FILE_DEMO_MODEL_FIRST + 2);
    command(ID_FILE_SAVE_MODEL);
    ASSERT_TRUE(fs::exists(file(L"magnetite.mdl")));
    frame->set_document_changes(nullptr);
    DestroyWindow(frame->hwnd());
    frame.reset();
    // The frame's end posted WM_QUIT, which would end the dialog's modal loop at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}

    set_file_dialog_function(nullptr);  // the system's dialog
    const wchar_t* tags[] = {L"english", L"russian"};
    const WORD langids[] = {0x409, 0x419};
    for (int i = 0; i < 2; ++i) {
        set_resource_language(langids[i]);
        set_message_language(langids[i]);
        SetThreadUILanguage(langids[i]);
        FileDialogRequest request;
        request.filter = L"Model files (*.mdl)|*.mdl|All files (*.*)|*.*";
        request.default_extension = L"mdl";
        request.initial_folder = folder.wstring();
        COpenDialog dialog(request, isotope_table().find(L"57Fe"));
        ShotState state;
        state.dialog = &dialog;
        state.model = file(L"magnetite.mdl");
        shot_state = &state;
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, on_shot_timer);
        EXPECT_FALSE(dialog.DoModal());  // cancelled by the timer
        KillTimer(nullptr, timer);
        shot_state = nullptr;
        ASSERT_GT(state.shot.width, 0) << "no open dialog appeared";
        modal_test::write_screenshot(state.shot, std::wstring(L"open-dialog-preview-") + tags[i]);
        // The preview is below the file list, as wide as the controls above it, and shows
        // the model's description.
        EXPECT_GT(state.preview.right - state.preview.left, 200);
        EXPECT_GE(state.preview.top, state.list.bottom);
        EXPECT_NE(dialog.preview().note.find(L"Comment: "), std::wstring::npos);
        EXPECT_NE(dialog.preview().note.find(L"3. "), std::wstring::npos);
        EXPECT_NE(dialog.preview().data, nullptr);  // the spectrum the model names
        std::set<std::uint32_t> colours;
        const RECT dlg = [&] {
            RECT r{};
            GetWindowRect(state.window, &r);
            return r;
        }();
        for (int y = state.preview.top + 5; y < state.preview.bottom - 5; y += 3)
            for (int x = state.preview.left + 5; x < state.preview.right - 5; x += 3)
                if (x - dlg.left < state.shot.width && y - dlg.top < state.shot.height)
                    colours.insert(state.shot.at(x - dlg.left, y - dlg.top));
        EXPECT_GT(colours.size(), 3u);
    }
    SetThreadUILanguage(0x409);
}

TEST_F(ModelFilesTest, ThePreviewShowsSpectraModelsAndErrorsButNeverABox)
{
    create();
    command(ID_FILE_DEMO_SPECTRUM_FIRST);
    chosen_files = {file(L"iron.SPC")};
    command(ID_FILE_SAVE_SPECTRUM);
    write_text_file(file(L"broken.mdl"), L"Component = 01-No such model type:x=1\n");
    write_text_file(file(L"other.spcx"), L"Spectrum: 1 2 3\n");
    FileDialogRequest request;
    COpenDialog dialog(request, isotope_table().find(L"57Fe"));
    dialog.OnFileSelected(file(L"iron.SPC"));  // any letter case
    EXPECT_EQ(dialog.preview().data != nullptr, true);
    EXPECT_EQ(dialog.preview().model, nullptr);
    EXPECT_NE(dialog.preview().note.find(L"Comment: "), std::wstring::npos);
    dialog.OnFileSelected(file(L"broken.mdl"));
    EXPECT_EQ(dialog.preview().data, nullptr);
    EXPECT_FALSE(dialog.preview().note.empty());  // the error's text
    dialog.OnFileSelected(file(L"other.spcx"));
    EXPECT_EQ(dialog.preview().data, nullptr);
    EXPECT_EQ(dialog.preview().note, L"");
    EXPECT_TRUE(shown.empty());
}
