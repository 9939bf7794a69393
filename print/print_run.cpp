#include "print/print_run.h"

#include <map>

namespace orbilux {

const wchar_t kGeneralInfoHeading[] = L"\n\u25c6 \u4e00\u822c\u60c5\u5831 \u25c6\n\n";
const wchar_t kSystemLogHeading[] = L"\n\n\u25c6 \u30b7\u30b9\u30c6\u30e0\u30ed\u30b0 \u25c6\n\n";
const wchar_t kApplicationLogHeading[] =
    L"\n\n\u25c6\u30a2\u30d7\u30ea\u30b1\u30fc\u30b7\u30e7\u30f3\u30ed\u30b0 \u25c6\n\n";

PrintStyle StyleFrom(const ORBILUXSetting& settings) {
    const PrinterSettings& p = settings.printer_;
    PrintStyle s;
    s.layout.margin = PageRect{p.rtMargin.left, p.rtMargin.top, p.rtMargin.right, p.rtMargin.bottom};
    s.layout.lineHeightHead = p.lineHeightHead;
    s.layout.marginHead = p.marginHead;
    s.layout.enableHead = p.enableHead;
    s.layout.lineHeightFoot = p.lineHeightFoot;
    s.layout.marginFoot = p.marginFoot;
    s.layout.enableFoot = p.enableFoot;
    s.layout.pictureVerticalAlign = p.pictureVerticalAlign;
    s.layout.simpleMode = settings.simpleMode;
    s.headStrings = settings.format_.headStrings;
    s.footStrings = settings.format_.footStrings;
    s.fontFace = settings.format_.fontFace;
    s.fontSize = settings.format_.fontSize;
    s.printMode = settings.output_.printMode;
    return s;
}

const PageEntry& PrintRun::Page(int32_t number) const {
    if (number < 0 || size_t(number) >= pages.size()) return ScreenShot::Placeholder();
    return pages[size_t(number)];
}

std::shared_ptr<PrintRun> MakePrintRun(const ScreenShot& shot, const ORBILUXSetting& settings,
                                       int32_t pageCount) {
    auto run = std::make_shared<PrintRun>();
    run->style = StyleFrom(settings);
    run->info = settings.format_.computerInfo;
    run->info.pageCount = pageCount;
    run->info.page = 0;
    std::map<const CxImage*, CxImagePtr> copies;
    for (int32_t n = 0; n < pageCount; ++n) {
        PageEntry page = shot.GetPage(n);
        if (page.image) {
            CxImagePtr& copy = copies[page.image.get()];
            if (!copy) copy = std::make_shared<CxImage>(*page.image);
            page.image = copy;
        }
        run->pages.push_back(std::move(page));
    }
    return run;
}

std::vector<std::wstring> TextPageLines(const ComputerInfo& info, int32_t logType) {
    std::vector<std::wstring> lines;
    if (logType < kLogBasic || logType > kLogWithEventsToo) return lines;
    lines.push_back(kGeneralInfoHeading);
    lines.insert(lines.end(), info.infoLines.begin(), info.infoLines.end());
    if (logType >= kLogWithEvents) {
        lines.push_back(kSystemLogHeading);
        lines.insert(lines.end(), info.systemLogLines.begin(), info.systemLogLines.end());
        lines.push_back(kApplicationLogHeading);
        lines.insert(lines.end(), info.applicationLogLines.begin(), info.applicationLogLines.end());
    }
    return lines;
}

std::vector<std::vector<std::wstring>> PaginateLines(const std::vector<std::wstring>& lines, int capacity,
                                                     int lineHeight,
                                                     const std::function<int(const std::wstring&)>& measure) {
    std::vector<std::vector<std::wstring>> pages;
    // Otherwise every line would get a sheet of its own and print nothing.
    if (!FitsOneLine(capacity, lineHeight)) return pages;
    std::vector<std::wstring> current;
    int used = 0;
    for (const auto& line : lines) {
        const int height = measure(line);
        if (used + height > capacity && !current.empty()) {
            pages.push_back(std::move(current));
            current.clear();
            used = 0;
        }
        current.push_back(line);
        used += height;
    }
    if (!current.empty()) pages.push_back(std::move(current));
    return pages;
}

int32_t BuildTextPages(ScreenShot& shot, ORBILUXSetting& settings, const TextPageServices& services) {
    ComputerInfo& info = settings.format_.computerInfo;
    const int32_t logType = settings.key_.logType;
    const std::vector<std::wstring> lines = TextPageLines(info, logType);
    if (!lines.empty() && services.paginate) {
        for (auto& pageLines : services.paginate(lines)) {
            PageEntry entry;
            entry.pageNumber = int32_t(shot.pages.size());
            entry.kind = PageKind::Text;
            entry.lines = std::move(pageLines);
            shot.InsertPage(std::move(entry));
        }
    }
    return int32_t(shot.pages.size());
}

}  // namespace orbilux
