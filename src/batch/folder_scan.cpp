// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk of a wildcard drawing line: every matching drawing of a folder and, depth
// first, of its subfolders.

#include "batch/folder_scan.h"

#include <QFileInfo>
#include <QSet>

#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace batch {
namespace {

// One walk: links can make a folder tree a graph with cycles (a link to a parent, to the folder
// itself), so each folder is entered once, known by its identity rather than its path, and a
// link into the tree being walked is left alone, as its target is walked where it really is.
class FolderWalk {
public:
    FolderWalk(const QString& root, const QString& pattern,
               const std::function<void(const QString&)>& scanning)
        : m_root(QFileInfo(root).canonicalFilePath()), m_pattern(pattern), m_scanning(scanning) {}

    void walk(const QString& folder, QStringList& found) {
        if (!enter(folder)) return;
        platform::ListOptions subfolders;
        subfolders.files = false;
        subfolders.folders = true;
        QStringList entered;
        for (const QString& name : platform::listFolder(folder, QStringLiteral("*"), subfolders)) {
            const QString path = platform::joinPath(folder, name);
            if (linksIntoTheTree(path)) continue;
            if (m_scanning) m_scanning(path);
            entered << path;
        }
        platform::ListOptions files;
        files.hidden = true;
        files.system = true;
        for (const QString& name : platform::listFolder(folder, m_pattern, files)) {
            found << platform::joinPath(folder, name);
        }
        for (const QString& path : entered) walk(path, found);
    }

private:
    bool enter(const QString& folder) {
        const QString identity = platform::folderIdentity(folder);
        if (identity.isEmpty()) return true;  // cannot tell: its listing decides
        if (m_visited.contains(identity)) return false;
        m_visited.insert(identity);
        return true;
    }

    bool linksIntoTheTree(const QString& path) const {
        const QFileInfo info(path);
        if (!info.isSymLink() || m_root.isEmpty()) return false;
        const QString target = info.canonicalFilePath();
        return target == m_root || target.startsWith(platform::joinPath(m_root, QString()));
    }

    QString m_root;
    QString m_pattern;
    const std::function<void(const QString&)>& m_scanning;
    QSet<QString> m_visited;
};

}  // namespace

QStringList ScanFolder(const QString& folder, const QString& pattern,
                       const std::function<void(const QString&)>& scanning) {
    QStringList found;
    FolderWalk(folder, pattern, scanning).walk(folder, found);
    return found;
}

}  // namespace batch
