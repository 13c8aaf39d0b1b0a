// The pictures are compiled in as the resource bundle "pictures"; this file
// only gives the library an object of its own.
