// The busy cursor of long file operations as Qt's override cursor.
#pragma once

void InstallQtBusyCursor();
