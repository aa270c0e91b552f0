// Saves a picture of each configuration page after a Read, in English and in
// Simple Chinese, at 100 % and 200 %, to look at; not a test.
//   calora_page_screenshots [FOLDER]      (default: screenshots)
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
    PageWindow window;
    const struct {
        int tab, page;
        std::vector<int> reads;
    } pages[] = {{0, 0, {}}, {1, 1, {1049}}, {2, 2, {1048, 1049}}, {3, 4, {}}};
    for (const char* language : {"en", "zh"}) {
        window.m_pWindow->OnCommand(MainDialog::kFirstLanguage + (language[0] == 'z' ? 1 : 0));
        for (const auto& page : pages) {
            window.ShowTab(page.tab);
            for (int read : page.reads) {
                window.Click(page.page, read);
            }
            QApplication::processEvents();
            for (int scale : {1, 2}) {
                QPixmap picture(window.m_pWindow->size() * scale);
                picture.setDevicePixelRatio(scale);
                window.m_pWindow->render(&picture);
                const std::filesystem::path file =
                    folder / ("page" + std::to_string(page.tab + 1) + "-" + language + "-" +
                              std::to_string(scale * 100) + ".png");
                if (!picture.save(QString::fromStdString(file.string()))) {
                    std::fprintf(stderr, "cannot write %s\n", file.c_str());
                    return 1;
                }
                std::printf("%s\n", file.c_str());
            }
        }
    }
    for (const auto& shown : window.m_Prompt.m_Shown) {
        std::fprintf(stderr, "message shown: %s\n", shown.text.c_str());
    }
    return window.m_Prompt.m_Shown.empty() ? 0 : 1;
}
