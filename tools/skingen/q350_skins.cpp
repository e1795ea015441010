#include "tools/skingen/skins.h"
namespace skingen {
bool drawQ350Skins(Output&, SkinLanguage) { return true; }
}
