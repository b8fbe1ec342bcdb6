// The picture commands: arguments evaluated to integers, then handed to the pictures.
#include <array>

#include "gfx/picture_commands.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

void cmdBgColor(Engine& e) { picBgColor(e.pictures, argInts<3>(e)); }

void cmdPicLoad(Engine& e) {
    const int slot = argInt(e, 0);
    if (!picLoad(e.pictures, slot, argText(e, 1), argInt(e, 2))) return;
    const S_Dib* dib = e.pictures.Slot(slot);
    const std::string index = "[" + std::to_string(slot) + "]";
    setVariableInt(e, "_picW" + index, dib ? dib->Width() : 0);
    setVariableInt(e, "_picH" + index, dib ? dib->Height() : 0);
    // The first map cuts its chips from its sheet as the sheet is now.
    S_Map2& firstMap = e.maps.slots[0];
    const S_Dib* sheet = e.pictures.Slot(firstMap.m_nMapBufId);
    firstMap.SetSheetWidth(sheet ? sheet->Width() : 0);
}

void cmdPicTransColor(Engine& e) { picTransColor(e.pictures, argInts<4>(e)); }
void cmdPicCopy(Engine& e) { picCopy(e.pictures, argInts<10>(e)); }
void cmdPicFlip(Engine& e) { picFlip(e.pictures, argInts<2>(e)); }
void cmdPicRegion(Engine& e) { picRegion(e.pictures, argInts<5>(e)); }
void cmdPicFloodFill(Engine& e) { picFloodFill(e.pictures, argInts<6>(e)); }

}  // namespace

const CommandFamily kPictureCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#bgColor", cmdBgColor},   {"#picLoad", cmdPicLoad}, {"#picTransColor", cmdPicTransColor},
        {"#picCopy", cmdPicCopy},   {"#picFlip", cmdPicFlip}, {"#picRegion", cmdPicRegion},
        {"#picFloodFill", cmdPicFloodFill},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
