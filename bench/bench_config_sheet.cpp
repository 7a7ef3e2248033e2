// Opening the configuration sheet with 1,000 image folders, against a bare
// dialog holding a list of the same length; and Count Files over 100,000 files
// in 2,000 folders, against the list scan alone. Run under a display:
//   scripts/with-display build/bench/bench_config_sheet
#include "app/ini_profile_store.h"
#include "app/saver_settings.h"
#include "config/config.h"
#include "controls/folder_list_editor.h"
#include "media/image_list.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr int kListFolders = 1000;
constexpr int kTopFolders = 40;
constexpr int kLeafFolders = 2000;
constexpr int kFiles = 100000;

class NoChooser : public FolderChooser {
public:
    std::optional<std::string> ChooseFolder(QWidget*, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

// 40 top folders of 50 folders each, 50 photos per folder; kept for later runs.
const fs::path& CountTree()
{
    static const fs::path root = [] {
        fs::path r = fs::temp_directory_path() / "tsv-bench-count-tree-v1";
        if (!fs::exists(r / ".complete")) {
            fs::remove_all(r);
            const int perTop = kLeafFolders / kTopFolders;
            const int perLeaf = kFiles / kLeafFolders;
            for (int t = 0; t < kTopFolders; ++t)
                for (int l = 0; l < perTop; ++l) {
                    fs::path leaf = r / ("top" + std::to_string(t)) / ("album" + std::to_string(l));
                    fs::create_directories(leaf);
                    for (int f = 0; f < perLeaf; ++f)
                        std::ofstream(leaf / ("IMG_" + std::to_string(f) + (f % 5 ? ".jpg" : ".png")));
                }
            std::ofstream(r / ".complete");
        }
        return r;
    }();
    return root;
}

StringList TopFolders()
{
    StringList folders;
    for (int t = 0; t < kTopFolders; ++t)
        folders.push_back((CountTree() / ("top" + std::to_string(t))).string());
    return folders;
}

void BM_SheetOnScreen1000Folders(benchmark::State& state)
{
    MemoryProfileStore store;
    NoChooser chooser;
    CSaverSettings settings;
    for (int i = 0; i < kListFolders; ++i)
        settings.ImageFolders.push_back((i % 3 ? "/srv/photos/album " : ":/srv/old/album ") + std::to_string(i));
    for (auto _ : state) {
        SheetContext context{settings, store, chooser};
        std::unique_ptr<CResizableSheet> sheet = MakeConfigurationSheet(context);
        sheet->show();
        if (!QTest::qWaitForWindowExposed(sheet.get()))
            state.SkipWithError("the sheet never came on screen");
        QApplication::processEvents();
    }
}

void BM_BareDialogWithList1000(benchmark::State& state)
{
    for (auto _ : state) {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* list = new QTreeWidget(&dialog);
        layout->addWidget(list);
        layout->addWidget(new QPushButton("OK", &dialog));
        for (int i = 0; i < kListFolders; ++i) {
            auto* item = new QTreeWidgetItem(list, {QString("/srv/photos/album %1").arg(i)});
            item->setCheckState(0, Qt::Checked);
        }
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            state.SkipWithError("the dialog never came on screen");
        QApplication::processEvents();
    }
}

void BM_CountFiles100k(benchmark::State& state)
{
    MemoryProfileStore store;
    NoChooser chooser;
    CSaverSettings settings;
    settings.codecPath = true;   // as in a real run: PNG files count too
    settings.ImageFolders = TopFolders();
    SheetContext context{settings, store, chooser};
    std::optional<DialogTemplate> dialog = LoadDialogTemplate(kImagesPageId);
    CImagesPage page(*dialog, context);
    page.show();
    page.Initialise();
    auto* count = page.ControlAs<QPushButton>(CFolderListPage::kCountFiles);
    auto* counter = page.ControlAs<QLabel>(1024);   // "Image files found:"
    for (auto _ : state)
        count->click();
    if (counter->text() != QString::number(kFiles))
        state.SkipWithError("wrong count");
}

void BM_ListScan100k(benchmark::State& state)
{
    CSaverSettings settings;
    settings.codecPath = true;   // as in a real run: PNG files count too
    settings.ImageFolders = TopFolders();
    int n = 0;
    for (auto _ : state)
        n = BuildImageList(settings, true);
    if (n != kFiles)
        state.SkipWithError("wrong count");
}
} // namespace

BENCHMARK(BM_BareDialogWithList1000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SheetOnScreen1000Folders)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ListScan100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CountFiles100k)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
