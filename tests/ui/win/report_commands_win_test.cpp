// The report commands through the main window, on a spectrum opened through the window
// and a model fitted to it: "Save results" writes the whole report (UTF-8 with its
// byte-order mark, the plot as a 960 × 480 PNG), "Save results table" both formats,
// "View results" hands a written report to the viewer; Cancel writes nothing, and a
// document without results or a file that cannot be written gives "Save failed" and
// leaves no file behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "tests/support/sextet_doublet_fit.h"
#include "tests/ui/win/frame_suite.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/frame/main_frame.h"
#include "ui/report_viewer.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"

namespace fs = std::filesystem;

namespace {

std::string file_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of the first `count` base64 characters at `text` (a multiple of 4).
std::vector<unsigned char> base64_prefix(const std::string& text, std::size_t count)
{
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i + 4 <= count && i + 4 <= text.size(); i += 4) {
        unsigned group = 0;
        for (std::size_t k = 0; k < 4; ++k)
            group = group << 6 | static_cast<unsigned>(alphabet.find(text[i + k]));
        out.insert(out.end(), {static_cast<unsigned char>(group >> 16), static_cast<unsigned char>(group >> 8),
                               static_cast<unsigned char>(group)});
    }
    return out;
}

unsigned be32(const std::vector<unsigned char>& b, std::size_t at)
{
    return unsigned(b[at]) << 24 | unsigned(b[at + 1]) << 16 | unsigned(b[at + 2]) << 8 | b[at + 3];
}

std::vector<std::wstring> split(const std::wstring& line, wchar_t separator)
{
    std::vector<std::wstring> out(1);
    for (wchar_t c : line) {
        if (c == separator)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::set<fs::path> files_in(const fs::path& folder)
{
    std::set<fs::path> out;
    for (const auto& entry : fs::directory_iterator(folder)) out.insert(entry.path());
    return out;
}

// The reports in the temporary folder, which other tests running at the same time use too.
std::set<fs::path> temporary_reports()
{
    std::set<fs::path> out;
    for (const fs::path& path : files_in(fs::temp_directory_path()))
        if (path.extension() == ".html") out.insert(path);
    return out;
}

// Message boxes are recorded and answered Yes; file dialogs answer the chosen files.
class ReportCommandsTest : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder = frame_suite::make_folder(L"vx-reports");
        SpectrumData spectrum = test_support::SextetDoubletFit(512).data;
        spectrum.keywords = {{L"Temperature", {L"295", 0}}, {L"Sample", {L"α-Fe + doublet; \"test\"", 0}}};
        spectrum.store_keywords();
        kwfile_save(file(L"iron-77K.spc"), spectrum.keywords);
    }
    static void TearDownTestSuite() { frame_suite::tear_down(folder); }

    void SetUp() override
    {
        set_resource_language(0x409);
        set_message_language(0x409);
        default_answer = IDYES;
        previous_open = set_open_file_function([this](HWND, const std::wstring& path) {
            opened.push_back(path);
            return true;
        });
        frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame->create_window());
        SetWindowPos(frame->hwnd(), nullptr, 10, 10, 900, 640, SWP_NOZORDER);
        open_and_fit();
        requests.clear();
    }
    void TearDown() override
    {
        frame->set_document_changes(nullptr);
        DestroyWindow(frame->hwnd());
        frame.reset();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        set_open_file_function(previous_open);
        RegDeleteTreeW(HKEY_CURRENT_USER, CMainFrame::spectra_key);
    }

    // The spectrum through the window's Open command; the sextet and doublet model
    // fitted to it with an excluded range and a user expression, as the fit leaves it.
    void open_and_fit()
    {
        chosen_files.push_back(file(L"iron-77K.spc"));
        command(ID_FILE_OPEN_SPECTRUM);
        ASSERT_EQ(frame->spectrum_file_name(), file(L"iron-77K.spc"));
        const test_support::SextetDoubletFit shape(512);
        ModelState& d = frame->document();
        d.model.scale = shape.model.scale;
        for (const SubSpecPtr& s : {model_test::baseline(), make_subspec<PseudoVoigtSextet>(&test_support::iron()),
                                    make_subspec<PseudoVoigtDoublet>(&test_support::iron())})
            d.add_component(d.model.component_count(), d.data.analysis(false), s, true);
        ASSERT_EQ(d.model.param_count(), shape.start.size());
        d.values = shape.start;
        d.add_xrange({-10.0, -9.6});
        d.add_expression(0, L"Bhf", L"[1:Hn]/10");
        FitSettings settings;
        DMatrix directions;
        unsigned iterations = 0;
        FitStopCode code{};
        FitFigures figures;
        lm_fit(d.model, d.data, d.values, shape.varied, shape.lower, shape.upper, settings, d.fit_values,
               d.covariance, directions, figures.chi_square, figures.reduced_chi_square, iterations, code, nullptr);
        figures.stop_code = code;
        ASSERT_EQ(d.covariance.size1(), d.model.param_count());
        frame->set_last_fit(figures);
    }

    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    static std::wstring file(const wchar_t* name) { return (folder / name).wstring(); }

    using FitFigures = CMainFrame::FitFigures;
    inline static fs::path folder;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::wstring> opened;

private:
    OpenFileFunction previous_open;
};

} // namespace

TEST_F(ReportCommandsTest, SaveResultsWritesTheWholeReportWithItsPlot)
{
    frame->set_model_file_name(L"C:\\any\\folder\\fe.mdl");
    // Kept in the build tree for the browser check.
    const std::wstring path = utf8_to_wide(VX_FRAME_REPORT);
    chosen_files.push_back(path);
    command(ID_FILE_SAVE_RESULTS);
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : wide_to_utf8(shown[0].text));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].initial_name, L"fe");
    EXPECT_EQ(requests[0].default_extension, L"html");
    EXPECT_EQ(requests[0].filter, L"HTML files (*.html)|*.html|All files (*.*)|*.*");

    const std::string bytes = file_bytes(path);
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(wide_to_utf8(utf8_to_wide(bytes)), bytes);  // well-formed UTF-8
    EXPECT_EQ(bytes.substr(3, 17), "<!DOCTYPE html>\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 20), "  </body>\r\n</html>\r\n");
    for (const char* fragment : {
             "<p>Model: C:\\any\\folder\\fe.mdl</p>",
             "Sample</td><td class='val'>\xCE\xB1-Fe + doublet; \"test\"</td>",
             "<p>Excluded ranges: [-10.000, -9.600]</p>",
             "<h3>1. PseudoVoigt sextet",
             "<tr><td>Bhf</td><td>[1:Hn]/10</td><td>",
         })
        EXPECT_NE(bytes.find(fragment), std::string::npos) << fragment;

    // The plot: a PNG of 960 × 480 pixels.
    const std::string marker = "<img src='data:image/png;base64,";
    const std::size_t image = bytes.find(marker);
    ASSERT_NE(image, std::string::npos);
    const std::vector<unsigned char> png = base64_prefix(bytes.substr(image + marker.size(), 32), 32);
    ASSERT_EQ(png.size(), 24u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(be32(png, 16), 960u);
    EXPECT_EQ(be32(png, 20), 480u);
}

TEST_F(ReportCommandsTest, SaveResultsTableInBothFormats)
{
    chosen_files = {file(L"results.CSV"), file(L"results.txt")};
    command(ID_FILE_SAVE_RESULTS_TABLE);
    command(ID_FILE_SAVE_RESULTS_TABLE);
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].initial_name, L"iron-77K");  // no model file: the spectrum's name
    EXPECT_EQ(requests[0].default_extension, L"csv");
    EXPECT_EQ(requests[0].filter, L"CSV files (*.csv)|*.csv|All files (*.*)|*.*");

    std::vector<std::vector<std::wstring>> rows[2];
    const wchar_t separators[2] = {L';', L'\t'};
    const wchar_t* names[2] = {L"results.CSV", L"results.txt"};
    for (int k = 0; k < 2; ++k) {
        const std::string bytes = file_bytes(file(names[k]));
        ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << k;
        const std::wstring text = utf8_to_wide(bytes.substr(3));
        const std::size_t end = text.find(L"\r\n");
        ASSERT_NE(end, std::wstring::npos);
        ASSERT_EQ(text.substr(text.size() - 2), L"\r\n");
        rows[k] = {split(text.substr(0, end), separators[k]),
                   split(text.substr(end + 2, text.size() - end - 4), separators[k])};
        EXPECT_EQ(rows[k][0].size(), rows[k][1].size()) << k;
    }
    // The same fields in both: names, the spectrum's file name and the fit's figures.
    EXPECT_EQ(rows[0][0], rows[1][0]);
    EXPECT_EQ(rows[0][1], rows[1][1]);
    EXPECT_EQ(rows[1][0][3], L"Χ²");
    EXPECT_EQ(rows[1][1][0], L"iron-77K.spc");
    EXPECT_EQ(rows[1][1][1], L"");
    EXPECT_EQ(std::stod(rows[1][1][3]), frame->last_fit().reduced_chi_square);
    EXPECT_EQ(std::find(rows[1][0].begin(), rows[1][0].end(), L"Bhf") - rows[1][0].begin(),
              static_cast<long>(rows[1][0].size()) - 3);
}

TEST_F(ReportCommandsTest, ViewResultsHandsTheWrittenReportToTheViewer)
{
    command(ID_FILE_VIEW_RESULTS);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Report");
    EXPECT_EQ(shown[0].flags & MB_ICONQUESTION, static_cast<UINT>(MB_ICONQUESTION));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(shown[0].text.find(opened[0]), std::wstring::npos);
    const fs::path report = opened[0];
    EXPECT_EQ(report.extension(), L".html");
    EXPECT_EQ(report.parent_path() / L"", fs::temp_directory_path() / L"");
    const std::string bytes = file_bytes(report);
    EXPECT_NE(bytes.find("base64,iVBORw0KGgo"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n");
    fs::remove(report);
}

TEST_F(ReportCommandsTest, ViewResultsAnsweredNoLeavesNoFile)
{
    // No HTML engine here: the report is offered to the system's browser, and declined.
    const std::set<fs::path> before = temporary_reports();
    default_answer = IDNO;
    command(ID_FILE_VIEW_RESULTS);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(temporary_reports(), before);
}

TEST_F(ReportCommandsTest, OnlyTheProgramsOwnReportsOlderThanADayGoAtStartUp)
{
    const fs::path temp = fs::temp_directory_path();
    const auto make = [&](const std::wstring& name, int hours_old) {
        const fs::path path = temp / name;
        std::ofstream(path) << "<html></html>";
        const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= static_cast<ULONGLONG>(hours_old) * 36'000'000'000ull;
        const FILETIME written{t.LowPart, t.HighPart};
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        return path;
    };
    const fs::path old_own = make(L"Vexmoor-report-0f8fad5b-d9cb-469f-a165-70867728950e.html", 30);
    const fs::path new_own = make(L"Vexmoor-report-1f8fad5b-d9cb-469f-a165-70867728950e.html", 2);
    const fs::path old_other = make(L"0f8fad5b-d9cb-469f-a165-70867728950e.html", 30);
    delete_expired_reports();
    EXPECT_FALSE(fs::exists(old_own));
    EXPECT_TRUE(fs::exists(new_own));
    EXPECT_TRUE(fs::exists(old_other));
    fs::remove(new_own);
    fs::remove(old_other);
}

TEST_F(ReportCommandsTest, CancelWritesNothingAndSaysNothing)
{
    const std::set<fs::path> before = files_in(folder), temp_before = temporary_reports();
    command(ID_FILE_SAVE_RESULTS);
    command(ID_FILE_SAVE_RESULTS_TABLE);
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(files_in(folder), before);
    EXPECT_EQ(temporary_reports(), temp_before);
}

TEST_F(ReportCommandsTest, FailuresSaySaveFailedAndLeaveNoFile)
{
    const std::wstring unwritable = file(L"no such folder\\r.html");
    struct Case {
        const char* what;
        UINT command;
        bool drop_results;
        std::wstring path;
        std::wstring text;  // a part of the message
    };
    const std::wstring no_results = MessageText(50222).str();
    for (const Case& c : {
             Case{"report without results", ID_FILE_SAVE_RESULTS, true, file(L"r.html"), no_results},
             Case{"table without results", ID_FILE_SAVE_RESULTS_TABLE, true, file(L"r.csv"), no_results},
             Case{"view without results", ID_FILE_VIEW_RESULTS, true, L"", no_results},
             Case{"report in a missing folder", ID_FILE_SAVE_RESULTS, false, unwritable, L"Can't create file"},
             Case{"table in a missing folder", ID_FILE_SAVE_RESULTS_TABLE, false, unwritable, L"Can't create file"},
             Case{"all at once without results", 360, true, L"", no_results},
             Case{"graph table in a missing folder", 357, false, file(L"no such folder\\g.txt"), L"Can't create file"},
         }) {
        SCOPED_TRACE(c.what);
        // A component added after the fit leaves the covariance too small for the model.
        ModelState& d = frame->document();
        const DMatrix kept = d.covariance;
        if (c.drop_results) d.covariance = DMatrix(d.model.param_count() - 1, d.model.param_count() - 1, 0.0);
        shown.clear();
        if (!c.path.empty()) chosen_files.push_back(c.path);
        const std::set<fs::path> before = files_in(folder), temp_before = temporary_reports();
        command(c.command);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, L"Save failed");
        EXPECT_EQ(shown[0].flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
        EXPECT_NE(shown[0].text.find(c.text), std::wstring::npos) << wide_to_utf8(shown[0].text);
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(files_in(folder), before);
        EXPECT_EQ(temporary_reports(), temp_before);
        d.covariance = kept;
    }
}
