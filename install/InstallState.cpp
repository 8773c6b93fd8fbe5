// The program-wide objects through which the file phase and the progress
// dialog meet. Both exist before the application starts.

#include "install/InstallArchive.h"
#include "install/TreeCopier.h"

namespace {

CInstallArchive* g_currentArchive = nullptr;
CTreeCopier g_treeCopier;

} // namespace

CInstallArchive*& CurrentInstallArchive()
{
    return g_currentArchive;
}

CTreeCopier& GetTreeCopier()
{
    return g_treeCopier;
}
