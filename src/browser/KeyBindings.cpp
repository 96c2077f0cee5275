#include "browser/KeyBindings.h"

#include <algorithm>
#include <span>

namespace {

bool Holds(const std::vector<TShortCut>& keys, TShortCut key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::optional<TActionId> FindInList(const std::map<int, std::vector<TShortCut>>& keys, TActionList list,
                                    TShortCut key)
{
    // An action that comes later runs nothing yet: its key goes on to the
    // next list, as an unbound key does.
    for (const auto& [command, shortcuts] : keys)
        if (Holds(shortcuts, key))
            if (const auto action = FindActionByCommand(list, command); action && !ActionInfo(*action).Pending)
                return action;
    return std::nullopt;
}

}  // namespace

std::optional<TKeyCommand> TKeyBindings::Find(TShortCut key, bool inImageView) const
{
    if (key == 0)
        return std::nullopt;
    if (inImageView) {
        for (int i = 0; i < MoveCommandCount; ++i)
            if (Holds(Move[static_cast<size_t>(i)], key))
                return TKeyCommand{static_cast<TMoveCommand>(i)};
        for (int i = 0; i < ScrollCommandCount; ++i)
            if (Holds(Scroll[static_cast<size_t>(i)], key))
                return TKeyCommand{static_cast<TScrollCommand>(i)};
        if (const auto action = FindInList(Image, TActionList::alImage, key))
            return TKeyCommand{*action};
    }
    if (const auto action = FindInList(General, TActionList::alGeneral, key))
        return TKeyCommand{*action};
    return std::nullopt;
}

TShortCut TKeyBindings::FirstKey(TActionId action) const
{
    const TActionInfo& info = ActionInfo(action);
    const auto& keys = info.List == TActionList::alGeneral ? General : Image;
    const auto it = keys.find(info.Command);
    if (info.Command <= 0 || it == keys.end() || it->second.empty())
        return 0;
    return it->second.front();
}

TShortCut TKeyBindings::FirstMoveKey(TMoveCommand command) const
{
    const auto& keys = Move[static_cast<size_t>(command)];
    return keys.empty() ? 0 : keys.front();
}

TKeySet KeySetOf(TCommandGroup group)
{
    return group == TCommandGroup::cgGeneral ? TKeySet::ksGeneral : TKeySet::ksImageView;
}

const std::vector<TShortCut>& TKeyBindings::KeysOf(TCommandGroup group, int number) const
{
    static const std::vector<TShortCut> none;
    const std::vector<TShortCut>* keys = const_cast<TKeyBindings*>(this)->EditKeys(group, number);
    if (!keys)
        return none;
    return *keys;
}

std::vector<TShortCut>* TKeyBindings::EditKeys(TCommandGroup group, int number)
{
    if (number < 1 || number > CommandCount(group))
        return nullptr;
    const auto index = static_cast<size_t>(number - 1);
    switch (group) {
    case TCommandGroup::cgGeneral: return &General[number];
    case TCommandGroup::cgImage: return &Image[number];
    case TCommandGroup::cgMove: return &Move[index];
    case TCommandGroup::cgScroll: return &Scroll[index];
    }
    return nullptr;
}

std::optional<TKeyOwner> TKeyBindings::Owner(TShortCut key, TKeySet set) const
{
    if (key == 0)
        return std::nullopt;
    // In the order a key press is looked up, so that the owner named is the
    // command the key runs.
    static constexpr TCommandGroup imageView[] = {TCommandGroup::cgMove, TCommandGroup::cgScroll,
                                                  TCommandGroup::cgImage};
    static constexpr TCommandGroup general[] = {TCommandGroup::cgGeneral};
    const std::span<const TCommandGroup> groups =
        set == TKeySet::ksGeneral ? std::span<const TCommandGroup>(general) : std::span<const TCommandGroup>(imageView);
    for (const TCommandGroup group : groups)
        for (int number = 1; number <= CommandCount(group); ++number)
            if (Holds(KeysOf(group, number), key))
                return TKeyOwner{group, number};
    return std::nullopt;
}

std::optional<TKeyOwner> TKeyBindings::Bind(TKeyOwner command, TShortCut key, bool takeOver)
{
    std::vector<TShortCut>* keys = EditKeys(command.Group, command.Number);
    if (!keys || key == 0 || Holds(*keys, key))
        return std::nullopt;
    if (const auto owner = Owner(key, KeySetOf(command.Group))) {
        if (!takeOver)
            return owner;
        Unbind(*owner, key);
    }
    keys->push_back(key);
    return std::nullopt;
}

void TKeyBindings::Unbind(TKeyOwner command, TShortCut key)
{
    std::vector<TShortCut>* keys = EditKeys(command.Group, command.Number);
    if (!keys || key == 0)
        return;
    std::erase(*keys, key);
    // A primary of 0 left alone means no key at all.
    if (keys->size() == 1 && keys->front() == 0)
        keys->clear();
}

void TKeyBindings::Clear(TKeyOwner command)
{
    if (std::vector<TShortCut>* keys = EditKeys(command.Group, command.Number))
        keys->clear();
}

void TKeyBindings::ResetKeys()
{
    const TKeyBindings defaults = DefaultKeyBindings();
    General = defaults.General;
    Image = defaults.Image;
    Move = defaults.Move;
    Scroll = defaults.Scroll;
}

TKeyBindings DefaultKeyBindings()
{
    TKeyBindings keys;
    using vk::Letter;
    keys.General = {
        {1, {scCtrl | Letter('O')}},   // 開く
        {29, {vk::Delete}},            // 削除
        {36, {scCtrl | Letter('Z')}},  // 元に戻す
        {37, {scCtrl | Letter('X')}},  // 切り取り
        {38, {scCtrl | Letter('C')}},  // コピー
        {39, {scCtrl | Letter('V')}},  // 貼り付け
        {44, {scCtrl | Letter('A')}},  // すべて選択
        {49, {scCtrl | Letter('N')}},  // フォルダ
        {50, {scCtrl | Letter('H')}},  // 本棚
        {51, {scCtrl | Letter('J')}},  // メディア
        {52, {scCtrl | Letter('E')}},  // 検索
        {53, {scAlt | vk::Left}},      // 前へ戻る
        {54, {scAlt | vk::Right}},     // 次へ進む
        {59, {vk::F5}},                // 最新の情報に更新
        {64, {scCtrl | Letter('S')}},  // ファイルの並び順
        {67, {scCtrl | Letter('W')}},  // 画像表示を分離
        {68, {vk::F11}},               // 全画面表示
        {70, {scCtrl | Letter('F')}},  // ファイル表示
        {71, {scCtrl | Letter('T')}},  // ツリー表示
    };
    keys.Image = {
        {1, {scCtrl | vk::F4}},               // 閉じる
        {19, {scCtrl | Letter('M')}},         // ウィンドウに合わせる
        {42, {scCtrl | vk::Space}},           // 拡大
        {43, {scShift | scCtrl | vk::Space}}, // 縮小
        {44, {scCtrl | Letter('Q')}},         // 実サイズで表示
        {69, {scCtrl | Letter('L')}},         // ルーペの表示
        {74, {scCtrl | Letter('G')}},         // グリッドの表示
    };
    const TShortCut moveKeys[] = {vk::Home, vk::Down, vk::Up, vk::Left, vk::Right, vk::End};
    for (size_t i = 0; i < std::size(moveKeys); ++i)
        keys.Move[i] = {moveKeys[i]};
    const TShortCut scrollKeys[ScrollCommandCount] = {
        vk::Prior,         vk::Next,         scCtrl | vk::Next, scCtrl | vk::Prior,  // page up, down, left, right
        scCtrl | vk::Up,   scCtrl | vk::Down, scCtrl | vk::Left, scCtrl | vk::Right, // line up, down, left, right
        scCtrl | vk::Home, 0,                0,                 scCtrl | vk::End,   // origin, its mirrors, diagonal
    };
    for (size_t i = 0; i < std::size(scrollKeys); ++i)
        if (scrollKeys[i] != 0)
            keys.Scroll[i] = {scrollKeys[i]};
    return keys;
}

std::optional<TMoveCommand> DefaultWheelCommand(int code, bool ctrl)
{
    if (code == 10)
        return ctrl ? TMoveCommand::mcOnePrior : TMoveCommand::mcPrior;
    if (code == 11)
        return ctrl ? TMoveCommand::mcOneNext : TMoveCommand::mcNext;
    return std::nullopt;
}
