#include "PreviewTilemap.h"

#include "Scene.h"
#include "TexelImage.h"

#include <cstdlib>

PreviewTilemap::PreviewTilemap(std::string mapFile) : Tilemap("")
{
    // The game goes on to fail again over the empty tile set path; the
    // first line alone says what is wrong.
    if (!LoadMap(mapFile))
        std::exit(1);
    tileset = texels = new TexelImage();
    LoadTileset(tilesetFile);
    // The camera's position on the screen plays no part in what is refused.
    SetCamera(scene::CameraColumns, scene::CameraRows, 0, 0);
    if (pixelWidth > MaxSide || pixelHeight > MaxSide)
        Refuse("would make a picture of " + std::to_string(pixelWidth) + "x" + std::to_string(pixelHeight) +
               " pixels, more than the " + std::to_string(MaxSide) + " a picture may have on a side");
}

std::vector<Uint32> PreviewTilemap::Render() const
{
    std::vector<Uint32> picture(static_cast<size_t>(pixelWidth) * pixelHeight);
    for (int row = 0; row < mapRows; ++row) {
        for (int column = 0; column < mapColumns; ++column) {
            const Oblong from = TileSource(tiles[column][row]);
            for (int y = 0; y < tileHeight; ++y) {
                Uint32* out = &picture[(static_cast<size_t>(row) * tileHeight + y) * pixelWidth +
                                       static_cast<size_t>(column) * tileWidth];
                for (int x = 0; x < tileWidth; ++x)
                    out[x] = texels->Texel(static_cast<long long>(from.x) + x, static_cast<long long>(from.y) + y);
            }
        }
    }
    return picture;
}
