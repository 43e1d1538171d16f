#pragma once

namespace rooms
{

// How long each text of a room may be: the widths the model declares for the room's attributes, read there
// and nowhere else (the schemas of both databases declare the same, which a test checks). A text is cut to
// its width before it is written.
class RoomTextWidths
{
public:
    RoomTextWidths() = delete;

    static int etage();
    static int porte();
    static int descriptif();
    static int postesTP();
    static int identAcces();
    static int nature();
    static int codePrise();
};

} // namespace rooms
