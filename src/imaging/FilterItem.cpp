#include "imaging/FilterItem.h"

std::string_view FilterKindText(FilterKind kind)
{
    switch (kind) {
    case FilterKind::Grayscale:
        return "グレースケール化";
    case FilterKind::Levels:
        return "レベル補正";
    case FilterKind::Gamma:
        return "ガンマ補正";
    case FilterKind::Contrast:
        return "コントラスト調整";
    case FilterKind::Brightness:
        return "明るさ調整";
    case FilterKind::Equalize:
        return "平均化";
    case FilterKind::Posterize:
        return "ポスタリゼーション";
    case FilterKind::Invert:
        return "階調の反転";
    case FilterKind::ToneCurve:
        return "トーンカーブ";
    case FilterKind::Sharpen:
        return "シャープ";
    case FilterKind::UnsharpMask:
        return "アンシャープマスク";
    case FilterKind::Blur:
        return "ぼかし（平均）";
    case FilterKind::Trim:
        return "トリミング";
    case FilterKind::AddMargin:
        return "余白の追加";
    }
    return "";
}

bool TToneCurveInfo::Valid() const
{
    if (Points.size() < 2 || Points.size() > 255)
        return false;
    for (size_t i = 0; i < Points.size(); ++i) {
        if (Points[i].X > 255 || Points[i].Y > 255)
            return false;
        if (i > 0 && Points[i].X <= Points[i - 1].X)
            return false;
    }
    return true;
}

TFilterItem TFilterItem::Default(FilterKind kind)
{
    TFilterItem item;
    item.Kind = kind;
    switch (kind) {
    case FilterKind::Grayscale:
        item.Parameter = int32_t{0};
        break;
    case FilterKind::Levels:
        item.Parameter = TLevelsParameter{};
        break;
    case FilterKind::Gamma:
    case FilterKind::Contrast:
    case FilterKind::Brightness:
        item.Parameter = TCorrectionParameter{};
        break;
    case FilterKind::Equalize:
        item.Parameter = int32_t{1};
        break;
    case FilterKind::Posterize:
        item.Parameter = int32_t{4};
        break;
    case FilterKind::Invert:
        item.Parameter = std::monostate{};
        break;
    case FilterKind::ToneCurve:
        item.Parameter = TToneCurveInfo{};
        break;
    case FilterKind::Sharpen:
        item.Parameter = int32_t{100};
        break;
    case FilterKind::UnsharpMask:
        item.Parameter = TUnsharpMaskParameter{};
        break;
    case FilterKind::Blur:
        item.Parameter = int32_t{1};
        break;
    case FilterKind::Trim:
        item.Parameter = TTrimParameter{};
        break;
    case FilterKind::AddMargin:
        item.Parameter = TMarginParameter{};
        break;
    }
    return item;
}

namespace {

template <class T>
T Get(const TFilterItem& item)
{
    if (const T* value = std::get_if<T>(&item.Parameter))
        return *value;
    const TFilterItem fallback = TFilterItem::Default(item.Kind);
    if (const T* value = std::get_if<T>(&fallback.Parameter))
        return *value;
    return T{};
}

}  // namespace

int32_t TFilterItem::Value() const
{
    return Get<int32_t>(*this);
}

TLevelsParameter TFilterItem::Levels() const
{
    return Get<TLevelsParameter>(*this);
}

TCorrectionParameter TFilterItem::Correction() const
{
    return Get<TCorrectionParameter>(*this);
}

TToneCurveInfo TFilterItem::ToneCurve() const
{
    return Get<TToneCurveInfo>(*this);
}

TUnsharpMaskParameter TFilterItem::UnsharpMask() const
{
    return Get<TUnsharpMaskParameter>(*this);
}

TTrimParameter TFilterItem::Trim() const
{
    return Get<TTrimParameter>(*this);
}

TMarginParameter TFilterItem::Margin() const
{
    return Get<TMarginParameter>(*this);
}
