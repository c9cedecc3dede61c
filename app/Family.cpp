#include "app/Family.h"

namespace app {

Family reportFamily(const QString &family)
{
    if (family != QLatin1String("PWR"))
        return {};
    return {QStringLiteral("'M02','M20','T51','T52'"),
            QStringLiteral(
                " FROM ((((((ZoT51 AS T51 LEFT JOIN ZoT51_1 AS T51_1 ON T51.Col99 = T51_1.Col99) LEFT JOIN ZoT51_2 "
                "AS T51_2 ON T51.Col99 = T51_2.Col99) LEFT JOIN ZoT52 AS T52 ON T51.Col99 = T52.Col99) LEFT JOIN "
                "ZoM02 AS M02 ON T51.Col83 = M02.Col99) LEFT JOIN ZoM20 AS M20 ON T52.Col96 = M20.Col99) LEFT JOIN "
                "ZoM20_1 AS M20_1 ON M20.Col99 = M20_1.Col99) LEFT JOIN ZoM02_1 AS M02_1 ON M02.Col99 = "
                "M02_1.Col99 Where T52.Col99 <> '' "),
            QStringLiteral(" ,M02.Col99 ")};
}

} // namespace app
