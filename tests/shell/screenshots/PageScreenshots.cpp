// Saves pictures to look at, in English and in Simple Chinese: each
// configuration page after a Read and the trend page after a recording, at
// 100 % and 200 %, and the About box; not a test.
//   calora_page_screenshots [FOLDER]      (default: screenshots)
#include "shell/AboutDialog.h"
#include "shell/TrendPage.h"
#include "tests/shell/PageWindow.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const std::filesystem::path folder = argc > 1 ? argv[1] : "screenshots";
    std::filesystem::create_directories(folder);
    PageWindow window({}, PageWindow::kLater);
    window.Ship("dist", "qxrfw.dat");
    window.Ship("dist", "vrn.dak");
    MainDialog& main = window.Open();
    const auto save = [&folder](const QPixmap& picture, const std::string& name) {
        const std::filesystem::path file = folder / (name + ".png");
        if (!picture.save(QString::fromStdString(file.string()))) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
        std::printf("%s\n", file.c_str());
    };
    const struct {
        int tab, page;
        std::vector<int> reads;
    } pages[] = {{0, 0, {}}, {1, 1, {1049}}, {2, 2, {1048, 1049}}, {3, 4, {}}, {4, 3, {}}};
    for (const char* language : {"en", "zh"}) {
        main.OnCommand(MainDialog::kFirstLanguage + (language[0] == 'z' ? 1 : 0));
        for (const auto& page : pages) {
            window.ShowTab(page.tab);
            for (int read : page.reads) {
                window.Click(page.page, read);
            }
            if (page.tab == 4) { // forty cycles with the list and a readout
                auto* trend = qobject_cast<TrendPage*>(main.Page(3));
                if (!trend->ListShown()) {
                    main.OnCommand(TrendPage::kToggleList);
                }
                main.OnCommand(TrendPage::kRecordAll);
                window.m_Clock.RunFor(40 * 2500);
                main.OnCommand(MainDialog::kStop);
                ChartCtrl& pv = trend->PvChart();
                pv.m_bFollow = false;
                pv.ShowReadout(
                    {pv.IndexToX(static_cast<long long>(pv.m_pSamples->Count()) - 8), 10});
            }
            QApplication::processEvents();
            for (int scale : {1, 2}) {
                QPixmap picture(main.size() * scale);
                picture.setDevicePixelRatio(scale);
                main.render(&picture);
                save(picture, "page" + std::to_string(page.tab + 1) + "-" + language + "-" +
                                  std::to_string(scale * 100));
            }
        }
        window.ShowTab(0);
        save(AboutDialog(&main, window.m_Folder.string() + "/").grab(),
             std::string("about-") + language);
    }
    for (const auto& shown : window.m_Prompt.m_Shown) {
        std::fprintf(stderr, "message shown: %s\n", shown.text.c_str());
    }
    return window.m_Prompt.m_Shown.empty() ? 0 : 1;
}
