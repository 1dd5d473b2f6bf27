#pragma once

// userData/ in a page lives in the browser's IndexedDB: the page mounts it there and reads it back
// before the game starts (the page's script, which owns the page's side of it). The game writes into
// memory; this starts copying what it wrote since to the browser's storage, without waiting, so that
// replays, the log and settings survive a reload. A copy asked for while one runs follows it.
void persistUserData();
