#ifndef VEXLUME_TILEDFORMAT_H
#define VEXLUME_TILEDFORMAT_H

#include <string>

// The Vexlume map format for the Tiled map editor, as the checker sees it:
// enabling it for this user, and recognising the editor's own files, which a
// map maker may hand the checker in place of an exported map.
class TiledFormat
{
public:
    // Links the format into this user's Tiled extensions folder
    // ($XDG_CONFIG_HOME/tiled/extensions/vexlume/) and writes beside it where
    // this checker and the game's directory are, which the format asks.
    // data: the game's directory. Says what it did; 0, or 2 after one line
    // on standard error.
    static int Enable(const std::string& data);

    // For a Tiled map or tile set (by its name's ending: .tmx, .tmj, .tsx,
    // .tsj), one line saying what it is and the command that exports it as
    // a Vexlume map; "" for any other file. name is the path as given.
    static std::string Recognise(const std::string& name);
};

#endif
