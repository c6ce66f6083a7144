#include "engine/vornex.h"

namespace krelix {

CVornex::CVornex() : CVornex(SkipFolders::FromSystem()) {
    refreshMountPoints_ = true;
}

CVornex::CVornex(SkipFolders skipFolders) : skipFolders_(std::move(skipFolders)) {}

CVornex::~CVornex() {
    stopFlag = 1;
}

}  // namespace krelix
