import QtQuick 2.0

// The raised edge under a second name; it behaves exactly as BasicBevel.
BasicBevel {
}
