// The Vexlume map format for the Tiled map editor: opens the game's text
// maps as one tile layer on one tile set, saves them back in the game's
// layout, and plays the map being edited in the game with F5.
//
// `vexlume-mapcheck --enable-tiled` links this file into Tiled's extensions
// folder and writes places.txt beside the link: where the checker is and the
// game's directory, from which the game looks for a map's tile set. The
// checker is the one judge of what the game makes of a map; this file only
// moves maps between its verdict and Tiled.
//
// Written for Tiled 1.8 (Debian 12) and 1.11 (Debian 13). In 1.8 the command
// line prints neither a format's returned error nor tiled.error(), only
// console output, so every refusal and note goes to both when no map is open
// in the editor (an export from the command line).

const extensionFolder = FileInfo.path(__filename);

// The four free lines above the tile set path, kept as map properties so
// that a map saved untouched gives back its own bytes.
const HeaderProperties = ["line 1 (title)", "line 2 (number)", "line 3", "line 4"];

// The colour the game keys out of a tile set: pure black shows the stars.
const GameKey = "#000000";

const Int32Min = -2147483648;
const Int32Max = 2147483647;

function readPlaces() {
    const path = FileInfo.joinPaths(extensionFolder, "places.txt");
    const places = {};
    if (!File.exists(path))
        return places;
    const file = new TextFile(path, TextFile.ReadOnly);
    for (const line of file.readAll().split("\n")) {
        const equals = line.indexOf("=");
        if (equals > 0)
            places[line.slice(0, equals)] = line.slice(equals + 1);
    }
    file.close();
    return places;
}

const places = readPlaces();

function checkerNotRun() {
    return "the checker cannot be run from " + places.checker + ": run vexlume-mapcheck --enable-tiled again, " +
           "then restart Tiled";
}

function placesMissing() {
    if (places.checker && places.game)
        return "";
    return "the Vexlume format does not know where the game is: run vexlume-mapcheck --enable-tiled " +
           "(build/vexlume-mapcheck in a build tree), then restart Tiled";
}

// The checker said a map's findings; Tiled shows each in its Issues window.
// From the command line console.error is all that reaches the terminal.
function say(kind, text, activated) {
    const onCommandLine = !tiled.activeAsset;
    if (kind === "error")
        tiled.error(text, activated || function() {});
    else
        tiled.warn(text, activated || function() {});
    if (onCommandLine)
        console.error(text);
}

// The header lines are bytes to the game; Tiled holds text. UTF-8 goes
// both ways unchanged; anything else cannot, and is refused rather than
// changed.
function latin1(bytes) {
    let text = "";
    for (let i = 0; i < bytes.length; ++i)
        text += String.fromCharCode(bytes[i]);
    return text;
}

function bytesToText(bytes) {
    try {
        return decodeURIComponent(escape(latin1(bytes)));
    } catch (notUtf8) {
        return null;
    }
}

function textToBytes(text) {
    const latin1 = unescape(encodeURIComponent(text));
    const bytes = new Uint8Array(latin1.length);
    for (let i = 0; i < latin1.length; ++i)
        bytes[i] = latin1.charCodeAt(i);
    return bytes;
}

function isBlank(byte) {
    return byte === 32 || (byte >= 9 && byte <= 13);
}

// Reads a map the checker found clean, by the game's rules: five lines
// (the second a number alone), then numbers separated by any white space.
// Returns the map's parts, or a string saying what does not read so.
function parseMap(bytes) {
    let at = 0;
    let line = 1;
    function nextLine() {
        let end = bytes.indexOf(10, at);
        if (end < 0)
            end = bytes.length;
        const text = bytesToText(bytes.subarray(at, end));
        at = end + 1;
        return text;
    }
    function nextNumber() {
        while (at < bytes.length && isBlank(bytes[at]))
            at++;
        const start = at;
        if (bytes[at] === 43 || bytes[at] === 45)
            at++;
        while (at < bytes.length && bytes[at] >= 48 && bytes[at] <= 57)
            at++;
        const text = latin1(bytes.subarray(start, at));
        const value = Number(text);
        if (!/^[+-]?[0-9]+$/.test(text) || value < Int32Min || value > Int32Max)
            return null;
        return {text: text, value: value};
    }
    const map = {header: []};
    map.header.push(nextLine());
    while (at < bytes.length && isBlank(bytes[at]))
        at++;
    const number = nextNumber();
    if (number === null || bytes[at] !== 10)
        return "line 2 does not hold a number alone";
    at++;
    map.header.push(number.text);
    map.header.push(nextLine());
    map.header.push(nextLine());
    map.tilesetPath = nextLine();
    for (const text of map.header.concat([map.tilesetPath])) {
        if (text === null)
            return "a header line is not UTF-8 text, which Tiled would change on saving";
    }
    const sizes = [];
    for (let i = 0; i < 4; ++i) {
        const read = nextNumber();
        if (read === null)
            return "the tile size and map size do not read as four numbers";
        sizes.push(read.value);
    }
    [map.tileWidth, map.tileHeight, map.columns, map.rows] = sizes;
    map.cells = [];
    for (let i = 0; i < map.columns * map.rows; ++i) {
        const read = nextNumber();
        if (read === null)
            return "the grid holds fewer numbers than its " + map.columns + "x" + map.rows + " cells";
        map.cells.push(read.value);
    }
    return map;
}

function readBytes(fileName) {
    const file = new BinaryFile(fileName, BinaryFile.ReadOnly);
    const bytes = new Uint8Array(file.readAll());
    file.close();
    return bytes;
}

// Runs the checker on a map: its exit status and its report.
function runChecker(args) {
    const process = new Process();
    const status = process.exec(places.checker, args, false);
    const report = process.readStdOut() + process.readStdErr();
    process.close();
    return {status: status, report: report};
}

// The lines of a report that say something is wrong: "FILE:LINE: warning: ..." and the like.
function findings(report) {
    return report.split("\n").filter(line => / (warning|error): /.test(line));
}

function refuseToOpen(fileName, why) {
    const text = FileInfo.fileName(fileName) + ": not opened: " + why;
    say("error", text);
    throw new Error(text);
}

function readVexlumeMap(fileName) {
    const missing = placesMissing();
    if (missing)
        refuseToOpen(fileName, missing);
    const checked = runChecker([fileName]);
    if (checked.status < 0)
        refuseToOpen(fileName, checkerNotRun());
    if (checked.status !== 0) {
        for (const line of findings(checked.report))
            say("error", line);
        refuseToOpen(fileName, "the game would not read it as written (vexlume-mapcheck status " + checked.status +
                                   "): mend what the checker says, then open it again");
    }
    const parsed = parseMap(readBytes(fileName));
    if (typeof parsed === "string")
        refuseToOpen(fileName, parsed);

    const image = FileInfo.isAbsolutePath(parsed.tilesetPath)
                      ? parsed.tilesetPath
                      : FileInfo.cleanPath(FileInfo.joinPaths(places.game, parsed.tilesetPath));
    const tileset = new Tileset(FileInfo.completeBaseName(image));
    tileset.setTileSize(parsed.tileWidth, parsed.tileHeight);
    tileset.transparentColor = GameKey;
    tileset.image = image;
    if (tileset.tileCount <= 0)
        refuseToOpen(fileName, "Tiled cannot load the tile set image " + image);

    const map = new TileMap();
    map.orientation = TileMap.Orthogonal;
    map.setSize(parsed.columns, parsed.rows);
    map.setTileSize(parsed.tileWidth, parsed.tileHeight);
    map.addTileset(tileset);
    for (let i = 0; i < HeaderProperties.length; ++i)
        map.setProperty(HeaderProperties[i], parsed.header[i]);

    const layer = new TileLayer("Vexlume map");
    layer.width = parsed.columns;
    layer.height = parsed.rows;
    const edit = layer.edit();
    for (let i = 0; i < parsed.cells.length; ++i) {
        const tile = parsed.cells[i];
        if (tile < 0 || tile >= tileset.tileCount)
            refuseToOpen(fileName, "tile number " + tile + " is outside the tile set");
        edit.setTile(i % parsed.columns, Math.floor(i / parsed.columns), tileset.tile(tile));
    }
    edit.apply();
    map.addLayer(layer);
    return map;
}

// Tile layers anywhere in the map, group layers looked into; the rest, which
// the format leaves out, named for a note.
function sortLayers(layers, found) {
    for (const layer of layers) {
        if (layer.isTileLayer)
            found.tileLayers.push(layer);
        else if (layer.isGroupLayer)
            sortLayers(layer.layers, found);
        else
            found.leftOut.push(layer.name || "(unnamed)");
    }
    return found;
}

// A refusal or note about some cells: it names them as the checker counts
// them, (column, row) from 0 at the top left, and, activated in the Issues
// window, selects them.
function cellRange(row, first, last) {
    const where = first === last ? "cell (" + first + ", " + row + ")"
                                 : "cells (" + first + ", " + row + ") to (" + last + ", " + row + ")";
    // The map saved is the one open in the editor, though Tiled may hand
    // the format another wrapper of it.
    const show = function() {
        const open = tiled.activeAsset;
        if (open && open.isTileMap)
            open.selectedArea.set(Qt.rect(first, row, last - first + 1, 1));
    };
    return {where: where, show: show};
}

// Every cell the format cannot hold, a run of them along a row at a time.
function checkCells(layer, tileset, problems) {
    for (let y = 0; y < layer.height; ++y) {
        let run = null;
        const close = function(x) {
            if (!run)
                return;
            const range = cellRange(y, run.first, x - 1);
            const plural = run.first !== x - 1;
            problems.push({text: range.where + " " + run.why(plural), show: range.show});
            run = null;
        };
        for (let x = 0; x < layer.width; ++x) {
            const cell = layer.cellAt(x, y);
            const tile = layer.tileAt(x, y);
            let kind = "";
            let why = null;
            if (cell.empty || !tile) {
                kind = "empty";
                why = plural => (plural ? "are" : "is") + " empty: every cell of a Vexlume map shows a tile; " +
                                "paint " + (plural ? "them" : "it");
            } else if (tile.tileset.image !== tileset.image || tile.tileset.name !== tileset.name) {
                kind = "other";
                why = plural => (plural ? "use" : "uses") + " the second tile set " + tile.tileset.name;
            } else if (layer.flagsAt(x, y) !== 0) {
                kind = "flipped";
                why = plural => (plural ? "hold" : "holds") + " a flipped or rotated tile, which the game " +
                                "cannot draw: paint " + (plural ? "them" : "it") + " again unflipped " +
                                "(the X, Y and Z keys flip the brush)";
            }
            if (run && run.kind !== kind)
                close(x);
            if (kind && !run)
                run = {kind: kind, first: x, why: why};
        }
        close(layer.width);
    }
}

// Tiled (1.8 and 1.11) reads a tile set without a transparent colour as
// black, so only a colour other than black can be told apart.
function transparentColorNote(tileset) {
    const color = String(tileset.transparentColor || "").toLowerCase();
    if (color === GameKey || color === "" || color === "#00000000")
        return "";
    return "the tile set's transparent colour is " + color + ", but the game keys out pure black (0, 0, 0) " +
           "in tiles: in the game the stars show through its black pixels, and its " + color +
           " pixels are drawn in that colour";
}

// The tile set image's path from the game's directory, as line 5 names
// it, or "" when it lies outside. Links are followed only as far as needed:
// a data file may be a link to elsewhere and still be named from inside.
function pathFromGame(image) {
    const tries = [[places.game, image], [FileInfo.canonicalPath(places.game), image],
                   [FileInfo.canonicalPath(places.game), FileInfo.canonicalPath(image)]];
    for (const [game, file] of tries) {
        if (!game || !file)
            continue;
        const path = FileInfo.relativePath(FileInfo.cleanPath(game), FileInfo.cleanPath(file));
        if (path && !path.startsWith("../") && !FileInfo.isAbsolutePath(path))
            return path;
    }
    return "";
}

// The map as the game's text, or the reasons it cannot be; notes for what
// is saved but left out or shown otherwise.
function composeMap(map, fileName) {
    const problems = [];
    const notes = [];
    if (map.orientation !== TileMap.Orthogonal)
        problems.push({text: "the map is not orthogonal: the game draws square rows and columns only; " +
                             "make a new orthogonal map"});
    if (map.infinite)
        problems.push({text: "the map is infinite: the game's map has a fixed size; " +
                             "untick Infinite in the map's properties"});
    const layers = sortLayers(map.layers, {tileLayers: [], leftOut: []});
    if (layers.leftOut.length > 0)
        notes.push({text: "left out, as the game draws one tile layer only: " + layers.leftOut.join(", ")});
    if (layers.tileLayers.length !== 1)
        problems.push({text: "the map has " + layers.tileLayers.length + " tile layers, but the game reads one: " +
                             "merge them (Layer > Merge Layer Down) or remove the others"});
    // In the map's own order, so that the first tile set is the map's and
    // the cells on any other are named. Tile sets are told apart by name and
    // image: Tiled hands out a new wrapper for each call.
    const usedAnyOrder = map.usedTilesets();
    const used = map.tilesets.filter(t => usedAnyOrder.some(u => u.name === t.name && u.image === t.image));
    if (used.length > 1)
        problems.push({text: "the map uses " + used.length + " tile sets (" + used.map(t => t.name).join(", ") +
                             "), but the game reads one"});
    const tileset = used.length > 0 ? used[0] : map.tilesets[0];
    let tilesetPath = "";
    if (!tileset) {
        problems.push({text: "the map has no tile set"});
    } else {
        // 1.8 has no isCollection; there a collection has no image.
        const collection = tileset.isCollection || !tileset.image;
        if (collection)
            problems.push({text: "the tile set " + tileset.name + " is a collection of images, one per tile: " +
                                 "the game cuts its tiles from one image"});
        if (tileset.margin !== 0 || tileset.tileSpacing !== 0)
            problems.push({text: "the tile set " + tileset.name + " has a margin of " + tileset.margin +
                                 " and a spacing of " + tileset.tileSpacing + " pixels: the game cuts tiles " +
                                 "edge to edge from the top left, so both must be 0"});
        // A collection's tile size is its largest picture's: said above.
        if (!collection && (tileset.tileWidth !== map.tileWidth || tileset.tileHeight !== map.tileHeight))
            problems.push({text: "the tile set's tiles are " + tileset.tileWidth + "x" + tileset.tileHeight +
                                 " pixels but the map's are " + map.tileWidth + "x" + map.tileHeight +
                                 ": the game draws one size"});
        if (!collection) {
            tilesetPath = pathFromGame(tileset.image);
            if (!tilesetPath)
                problems.push({text: "the tile set image " + tileset.image + " lies outside the game's directory " +
                                     places.game + ", which the game looks for it from: move it there (into " +
                                     places.game + "/share, say) and point the tile set at it"});
        }
        const note = transparentColorNote(tileset);
        if (note)
            notes.push({text: note});
    }
    if (layers.tileLayers.length === 1 && tileset)
        checkCells(layers.tileLayers[0], tileset, problems);

    const header = HeaderProperties.map(name => map.property(name));
    const defaults = [FileInfo.completeBaseName(fileName), "1", "made in Tiled",
                      "tiles " + map.tileWidth + "x" + map.tileHeight + ", " + map.width + " columns, " +
                          map.height + " rows"];
    for (let i = 0; i < header.length; ++i) {
        if (header[i] === undefined || header[i] === null)
            header[i] = defaults[i];
        header[i] = String(header[i]);
        if (/[\n\r]/.test(header[i]))
            problems.push({text: "the map property \"" + HeaderProperties[i] + "\" holds a line break: " +
                                 "the game reads each header item from one line"});
    }
    const number = Number(header[1]);
    if (!/^[+-]?[0-9]+$/.test(header[1]) || number < Int32Min || number > Int32Max)
        problems.push({text: "the map property \"" + HeaderProperties[1] + "\" is \"" + header[1] +
                             "\", but the game reads a whole number there"});
    if (problems.length > 0)
        return {problems: problems, notes: notes};

    const layer = layers.tileLayers[0];
    const lines = header.concat([tilesetPath, [map.tileWidth, map.tileHeight, map.width, map.height].join(" ")]);
    for (let y = 0; y < map.height; ++y) {
        const row = [];
        for (let x = 0; x < map.width; ++x)
            row.push(layer.cellAt(x, y).tileId);
        lines.push(row.join(" "));
    }
    return {text: lines.join("\n") + "\n", problems: problems, notes: notes};
}

function writeVexlumeMap(map, fileName) {
    const name = FileInfo.fileName(fileName);
    const missing = placesMissing();
    if (missing) {
        say("error", name + ": not saved: " + missing);
        return missing;
    }
    const composed = composeMap(map, fileName);
    for (const note of composed.notes)
        say("warning", name + ": note: " + note.text, note.show);
    if (composed.problems.length > 0) {
        for (const problem of composed.problems)
            say("error", name + ": cannot be saved as a Vexlume map: " + problem.text, problem.show);
        const summary = name + ": not saved: " + composed.problems.length + " thing" +
                        (composed.problems.length === 1 ? "" : "s") + " the Vexlume format cannot hold";
        say("error", summary);
        return summary;
    }
    const file = new BinaryFile(fileName, BinaryFile.WriteOnly);
    file.write(textToBytes(composed.text).buffer);
    file.commit();
    return undefined;
}

tiled.registerMapFormat("vexlume", {
    name: "Vexlume map",
    extension: "map",
    read: readVexlumeMap,
    write: writeVexlumeMap,
});

// F5 (Tiled's own Ctrl+R is taken): save, check, and play in the game.
// The map is checked as saved; a map kept in another format is exported to
// a scratch Vexlume map first. The game runs beside Tiled, which stays
// usable; the checker's report goes to the Console.
const games = [];

function playCurrentMap() {
    const map = tiled.activeAsset;
    if (!map || !map.isTileMap) {
        tiled.alert("Open a map to play it in Vexlume.");
        return;
    }
    const missing = placesMissing();
    if (missing) {
        say("error", missing);
        return;
    }
    let file = map.fileName;
    if (file)
        tiled.trigger("Save");
    if (file.endsWith(".map")) {
        // Saved as a Vexlume map; a refusal leaves it modified, and the
        // Issues window says why.
        if (map.modified)
            return;
    } else {
        file = FileInfo.joinPaths("/tmp", "vexlume-tiled-" + (FileInfo.completeBaseName(file) || "untitled") + ".map");
        if (writeVexlumeMap(map, file))
            return;
    }
    const checked = runChecker([file]);
    tiled.log(checked.report.trim());
    if (checked.status < 0) {
        say("error", checkerNotRun());
        return;
    }
    if (checked.status >= 2) {
        say("error", FileInfo.fileName(file) + ": the game will not play this map (vexlume-mapcheck status " +
                         checked.status + "); see the Console");
        return;
    }
    const game = new Process();
    if (!game.start(places.checker, ["--play", file])) {
        say("error", "could not start " + places.checker);
        return;
    }
    // Kept, or the game would be stopped with it when it is collected.
    games.push(game);
    tiled.log("Playing " + file + " in Vexlume: Escape ends the game.");
}

const playAction = tiled.registerAction("VexlumePlay", playCurrentMap);
playAction.text = "Play in Vexlume";
playAction.shortcut = "F5";
tiled.extendMenu("Map", [{separator: true}, {action: "VexlumePlay"}]);
