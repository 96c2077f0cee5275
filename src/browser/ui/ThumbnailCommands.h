#pragma once

// The option menu's thumbnail commands in the window: the management dialog
// over the normal store, saving the thumbnails of the place shown at once,
// and making the thumbnails of everything below the place shown behind a
// small progress window with an abort button. The thumbnails of the place
// shown stop while the store is worked on as a whole, and start again after.
// User-interface thread.

#include <QWidget>
#include <functional>
#include <memory>

#include "browser/ActionTable.h"
#include "thumbnails/EnumThumbs.h"
#include "thumbnails/ThumbBatch.h"
#include "thumbnails/ThumbControlState.h"

class TThumbnailList;

class TThumbnailCommands {
public:
    struct THost {
        // Stops the thumbnails of the place shown (before the store is
        // worked on as a whole), and starts them again.
        std::function<void()> StopShown;
        std::function<void()> StartShown;
        // Writes the running thumbnails of the place shown; false when none run.
        std::function<bool()> SaveShown;
        // What a batch runs over: the folder shown on disk, the members of
        // the shelf or search results shown, or the catalogue shown once its
        // disc is in (asking for it); empty when there is nothing to run over.
        std::function<TThumbBatchScope()> BatchScope;
        // The configuration a batch runs with (options, loaders, temporary folder).
        std::function<TEnumThumbsConfig()> Config;
        std::function<void(const std::string& text)> Message;
        // The settings file in use, where the management dialog keeps its
        // state; empty keeps none.
        std::function<std::string()> SettingsPath;
        // Over a medium: marks its disc busy (not to be ejected) for the run
        // and clears the mark; and whether the disc is still mounted, asked
        // without a prompt just before the first folder is read.
        std::function<void(const TThumbBatchScope& scope, bool busy)> MarkMedium;
        std::function<bool(const TThumbBatchScope& scope)> MediumPresent;
        // Asks a question; true for yes.
        std::function<bool(const std::string& text)> Ask;
    };

    TThumbnailCommands(TThumbnailList& list, TDispatcher& dispatcher, THost host, QWidget* window);

    static bool Runs(TActionId action);
    bool Run(TActionId action);

private:
    void Manage();
    void KeepDialogState(const std::string& settingsPath, const TThumbControlState& state);
    void LoadAll();

    TThumbnailList& fList;
    TDispatcher& fDispatcher;
    THost fHost;
    QWidget* fWindow;
};
