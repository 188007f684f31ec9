#include "plugin/PiPL.h"

// Four-character codes and 32-bit values little-endian, as the host's platform stores them.
#define QM_CODE(a, b, c, d) d, c, b, a
#define QM_U32(v) uint8_t((v) & 0xFF), uint8_t(((v) >> 8) & 0xFF), uint8_t(((v) >> 16) & 0xFF), uint8_t(((v) >> 24) & 0xFF)
#define QM_PROPERTY(a, b, c, d, length) QM_CODE('8', 'B', 'I', 'M'), QM_CODE(a, b, c, d), QM_U32(0), QM_U32(length)

extern "C" {

__attribute__((section("PIPL"), used, aligned(4))) const uint8_t QuillmoorPiPL[] = {
    0x01, 0x00, QM_U32(0), QM_U32(8),
    // kind: a filter
    QM_PROPERTY('k', 'i', 'n', 'd', 4), QM_CODE('8', 'B', 'F', 'M'),
    // name: the menu command, one length byte then the characters
    QM_PROPERTY('n', 'a', 'm', 'e', 12), 11, 'Q', 'u', 'i', 'l', 'l', 'm', 'o', 'o', 'r', '.', '.',
    // catg: the submenu
    QM_PROPERTY('c', 'a', 't', 'g', 9), 8, 'M', 'a', 'r', 'r', 'o', 'w', 'b', 'y', 0, 0, 0,
    // vers: interface version 2.5
    QM_PROPERTY('v', 'e', 'r', 's', 4), QM_U32(0x00020005),
    // wx86: the entry point's name
    QM_PROPERTY('w', 'x', '8', '6', 11), 'E', 'N', 'T', 'R', 'Y', 'P', 'O', 'I', 'N', 'T', 0, 0,
    // mode: RGB colour only
    QM_PROPERTY('m', 'o', 'd', 'e', 4), 0x10, 0x00, 0x00, 0x00,
    // enbl: enabled for RGB images only
    QM_PROPERTY('e', 'n', 'b', 'l', 29), 'i', 'n', ' ', '(', 'P', 'S', 'H', 'O', 'P', '_', 'I', 'm', 'a', 'g', 'e',
    'M', 'o', 'd', 'e', ',', 'R', 'G', 'B', 'M', 'o', 'd', 'e', ')', 0, 0, 0, 0,
    // fici: input handling, output handling, flags, second flags for the seven filter cases
    QM_PROPERTY('f', 'i', 'c', 'i', 28),
    1, 1, 0x07, 0,  // flat image without selection
    1, 1, 0x0F, 0,  // flat image with selection
    1, 1, 0x0F, 0,  // floating selection
    1, 1, 0x07, 0,  // editable transparency without selection
    1, 1, 0x0F, 0,  // editable transparency with selection
    1, 1, 0x07, 0,  // protected transparency without selection
    1, 1, 0x0F, 0,  // protected transparency with selection
};

const size_t QuillmoorPiPLSize = sizeof(QuillmoorPiPL);

}  // extern "C"
