#include "support/TempFolder.h"

#include "store/Database.h"
#include "store/SchemaUpgrade.h"

#include <QFile>

namespace kodrix::test {

bool writeFreshDatabase(const QString &file) {
    {
        QFile create(file);
        if (!create.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
    }
    auto database = Database::open(file);
    return database.ok() && createFreshSchema(**database).ok();
}

} // namespace kodrix::test
