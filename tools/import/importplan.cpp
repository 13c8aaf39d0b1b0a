#include "import/importplan.h"

#include <algorithm>

namespace {

// Anthologies of tens of thousands of poems: volumes of 500 keep each book
// under a thousand volumes and each volume at some tens of pages.
constexpr int kLargeVolume = 500;
constexpr int kSmallVolume = 100;

BookPlan Divisions(std::string name, std::string path) {
    return {std::move(name), VolumeRule::kDivisions, {{std::move(path), {}}}, {}, 0, false};
}

BookPlan OneVolume(std::string name, std::string path) {
    std::string volume = name;
    return {std::move(name), VolumeRule::kVolumePerFile, {{std::move(path), std::move(volume)}}, {}, 0, false};
}

BookPlan ByFields(std::string name, std::string path, std::vector<std::string> fields, bool fullOnly = false) {
    return {std::move(name), VolumeRule::kByFields, {{std::move(path), {}}}, std::move(fields), 0, fullOnly};
}

BookPlan FixedCount(std::string name, std::vector<FileSource> files, int perVolume, bool fullOnly = false) {
    return {std::move(name), VolumeRule::kFixedCount, std::move(files), {}, perVolume, fullOnly};
}

BookPlan Huajianji() {
    BookPlan book{"花間集", VolumeRule::kVolumePerFile, {{"wudaishici/huajianji/huajianji-0-preface.json", "序"}}, {}, 0, false};
    const char* const volumes[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "x"};
    const char* const names[] = {"卷一", "卷二", "卷三", "卷四", "卷五", "卷六", "卷七", "卷八", "卷九", "卷十"};
    for (int i = 0; i < 10; ++i)
        book.files.push_back({std::string("wudaishici/huajianji/huajianji-") + volumes[i] + "-juan.json", names[i]});
    return book;
}

}  // namespace

CImportPlan CImportPlan::Table() {
    CImportPlan plan;
    plan.categories = {
        {"經部",
         {
             Divisions("大學", "sishuwujing/daxue.json"),
             Divisions("中庸", "sishuwujing/zhongyong.json"),
             Divisions("論語", "lunyu/lunyu.json"),
             Divisions("孟子", "sishuwujing/mengzi.json"),
             ByFields("詩經", "shijing/shijing.json", {"chapter", "section"}),
         }},
        {"子部",
         {
             OneVolume("幽夢影", "youmengying/youmengying.json"),
         }},
        {"集部",
         {
             ByFields("楚辭", "chuci/chuci.json", {"section"}),
             OneVolume("曹操詩集", "caocaoshiji/caocao.json"),
             Huajianji(),
             ByFields("南唐二主詞", "wudaishici/nantang/poetrys.json", {"author"}),
             Divisions("唐詩三百首", "mengxue/tangshisanbaishou.json"),
             Divisions("千家詩", "mengxue/qianjiashi.json"),
             FixedCount("納蘭性德詩集", {{"nalanxingde/纳兰性德诗集.json", {}}}, kSmallVolume),
             Divisions("古文觀止", "mengxue/guwenguanzhi.json"),
             FixedCount("全唐詩", {{"quantangshi/poet.tang.#.json", {}}}, kLargeVolume, true),
             ByFields("御定全唐詩", "yudingquantangshi/json/#.json", {"volume"}, true),
             FixedCount("全宋詩", {{"quantangshi/poet.song.#.json", {}}}, kLargeVolume, true),
             FixedCount("宋詞", {{"songci/ci.song.#.json", {}}, {"songci/ci.song.2019y.json", {}}}, kLargeVolume, true),
             FixedCount("宋詞三百首", {{"songci/宋词三百首.json", {}}}, kSmallVolume, true),
             FixedCount("元曲", {{"yuanqu/yuanqu.json", {}}}, kLargeVolume, true),
             FixedCount("水墨唐詩", {{"shuimotangshi/shuimotangshi.json", {}}}, kSmallVolume, true),
         }},
        {"蒙學",
         {
             {"三字經",
              VolumeRule::kVolumePerFile,
              {{"mengxue/sanzijing-traditional.json", "傳統版"}, {"mengxue/sanzijing-new.json", "新版"}},
              {},
              0,
              false},
             OneVolume("百家姓", "mengxue/baijiaxing.json"),
             OneVolume("千字文", "mengxue/qianziwen.json"),
             Divisions("弟子規", "mengxue/dizigui.json"),
             OneVolume("朱子家訓", "mengxue/zhuzijiaxun.json"),
             Divisions("增廣賢文", "mengxue/zengguangxianwen.json"),
             Divisions("幼學瓊林", "mengxue/youxueqionglin.json"),
             Divisions("聲律啓蒙", "mengxue/shenglvqimeng.json"),
             Divisions("文字蒙求", "mengxue/wenzimengqiu.json"),
         }},
    };
    return plan;
}

CImportPlan CImportPlan::Subset() {
    CImportPlan plan = Table();
    plan.headerText = "chinese-poetry 2.0.1 選集";
    for (auto& category : plan.categories)
        std::erase_if(category.books, [](const BookPlan& book) { return book.fullOnly; });
    return plan;
}

CImportPlan CImportPlan::Full() {
    CImportPlan plan = Table();
    plan.headerText = "chinese-poetry 2.0.1 全集";
    return plan;
}
