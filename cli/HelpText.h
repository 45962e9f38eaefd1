// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The gridwise tool's help texts, and the manual page made from them
// (cli/ManPage.cpp writes gridwise.1 at build time): the commands' summaries,
// input and output fields and examples, the options, and the manual's own prose.
// Each text is written once here; `gridwise --help` and the manual show it.
#pragma once

namespace gwcli::help {

struct CommandText {
    const char* name;
    const char* summary; // one line, for --help
    const char* input;   // the fields of an input line (empty: reads none)
    const char* output;  // the fields of an output line
    // The command line, then the lines it writes; a command line ending in a
    // backslash goes on in the next line.
    const char* example;
    const char* manual; // the manual's description (roff)
};

inline constexpr CommandText kCommandTexts[] = {
    {"geo2grid", "Latitude and longitude on the working datum to grid", "LAT LON [NAME...]",
     "NORTHING EASTING [CONVERGENCE] [SCALE] [NAME...]", "echo '34 -117' | gridwise geo2grid\n3762155.972 500000.000",
     "LAT LON on the working datum to NORTHING EASTING."},
    {"grid2geo", "Grid to latitude and longitude on the working datum", "NORTHING EASTING [NAME...]",
     "LAT LON [CONVERGENCE] [SCALE] [NAME...]",
     "echo '3762155.972 500000' | gridwise grid2geo\n34.00000000 -117.00000000",
     "NORTHING EASTING to LAT LON on the working datum."},
    {"wgs2working", "WGS 84 to the working datum", "LAT LON [NAME...]", "LAT LON [NAME...]",
     "echo '41.4 2.17' | gridwise wgs2working --settings data/survey/settings.ini --section ed50-utm31\n"
     "41.40109329 2.17113165",
     "LAT LON on WGS\\ 84 to LAT LON on the working datum."},
    {"working2wgs", "The working datum to WGS 84", "LAT LON [NAME...]", "LAT LON [NAME...]",
     "echo '41.40109329 2.17113165' | gridwise working2wgs --settings data/survey/settings.ini \\\n"
     "--section ed50-utm31\n41.40000001 2.17000001",
     "LAT LON on the working datum to WGS\\ 84."},
    {"wgs2grid", "WGS 84 to the working datum and on to grid", "LAT LON [NAME...]", "NORTHING EASTING [NAME...]",
     "echo 'N34 00.0000 W117 00.0000 gate' | gridwise wgs2grid --text\nN3762155.97m E500000.00m gate",
     "LAT LON on WGS\\ 84 to the working datum and on to NORTHING EASTING."},
    {"grid2wgs", "Grid to the working datum and on to WGS 84", "NORTHING EASTING [NAME...]", "LAT LON [NAME...]",
     "echo 'N3762155.97m E500000.00m' | gridwise grid2wgs --text\nN34 00.0000 W117 00.0000",
     "NORTHING EASTING to the working datum and on to LAT LON on WGS\\ 84."},
    {"inverse", "Geodesic between two points on the working ellipsoid", "LAT1 LON1 LAT2 LON2 [NAME...]",
     "AZIMUTH DISTANCE [NAME...]", "echo '52 4 52 5' | gridwise inverse\n89.60599082 68677.472",
     "LAT1 LON1 LAT2 LON2 to AZIMUTH DISTANCE: the geodesic on the working ellipsoid\n"
     "(azimuth at the first point, clockwise from north)."},
    {"direct", "End point of a geodesic on the working ellipsoid", "LAT LON AZIMUTH DISTANCE [NAME...]",
     "LAT2 LON2 [NAME...]", "echo '52 4 90 1000' | gridwise direct\n51.99999910 4.01456070",
     "LAT LON AZIMUTH DISTANCE to LAT2 LON2."},
    {"describe", "Description lines, initialisation string and settings section", "", "",
     "gridwise describe --settings data/survey/settings.ini --section california-5",
     "Writes the projection's six description lines, the datum's seven, the\n"
     "projection's initialisation string and, after an empty line, the settings\n"
     "section exactly as the library writes it (\\(lq[\\fIname\\fR]\\(rq, then\n"
     "key=value lines; the section is named by \\fB\\-\\-section\\fR, else \\(lqgeodesy\\(rq),\n"
     "ready to be copied into a settings file and edited:\n"
     ".B gridwise describe > my\\-settings.ini\n"
     "starts from the defaults."},
    {"edit", "The Geodetics dialog on a settings section, saved there on OK (needs a display)", "", "",
     "gridwise edit --settings ./my-settings.ini --section geodesy",
     "Opens the Geodetics dialog on the settings section and saves it there on OK\n(needs a display)."},
    {"units", "The Data Units dialog on the unit settings, saved on OK (needs a display)", "", "",
     "gridwise units --units ./my-settings.ini",
     "Opens the Data Units dialog on the unit settings of the file and saves them on\nOK (needs a display)."},
    {"crs", "EPSG coordinate systems: 'crs search TEXT', 'crs show EPSG:CODE'", "", "",
     "gridwise crs search 'georgia west'\n"
     "2240\tNAD83 / Georgia West (ftUS)\tTransverse Mercator\tUS survey foot\tyes\n"
     "...",
     "\\fBcrs search\\fR \\fItext\\fR lists the projected systems of the EPSG registry\n"
     "whose name holds \\fItext\\fR (in any case) or whose code it is, one line each:\n"
     "code, name, method, unit and whether \\fB\\-\\-crs\\fR can use it (yes or no),\n"
     "separated by tabs.\n"
     ".br\n"
     "\\fBcrs show\\fR \\fBEPSG:\\fR\\fIcode\\fR [\\fB\\-\\-transformation\\fR \\fIcode\\fR] writes\n"
     "what the system maps to (method, unit, the shift to WGS\\ 84 and the texts of the\n"
     "geodesy), an empty line and the settings section \\(lq[epsg\\-\\fIcode\\fR]\\(rq,\n"
     "as \\fBdescribe\\fR writes it, ready to be copied into a settings file.\n"
     "A code that cannot be used gives the reason and exit status 2."},
    {"check", "Every problem of a settings file: keys, values, ranges", "", "",
     "gridwise check --settings ./my-settings.ini --section utm\n"
     "./my-settings.ini:5: error: [utm] scaleFactor=0,9996: has a decimal comma: type a point as the decimal mark (1.5, not 1,5)\n"
     "./my-settings.ini:6: warning: [utm] falseEasting is not a settings key, and is not read: did you mean falseEast?",
     "Names every problem of a settings section (\\fB\\-\\-section\\fR), of every section of\n"
     "the file (without \\fB\\-\\-section\\fR) or of the unit settings (\\fB\\-\\-units\\fR), one\n"
     "line each: \\fIfile\\fR:\\fIline\\fR: \\fIkind\\fR: [\\fIsection\\fR] and what is wrong.\n"
     "An \\fBerror\\fR is a value that does not read whole in its key's form (a decimal\n"
     "comma, angle text where degrees are expected, an empty value), a value outside\n"
     "the range the dialogs allow, a type code or unit index that names nothing, or\n"
     "what the polar stereographic grid cannot do (an origin off the pole or off the\n"
     "meridian 0): the conversion commands, \\fBdescribe\\fR and \\fBedit\\fR refuse such a\n"
     "section with exit status 2 (\\fB\\-\\-lenient\\fR reads it as the library's host\n"
     "interface does). A \\fBwarning\\fR is read but probably not meant: a key that is\n"
     "no settings key (with the nearest one), a key or section that comes again, a\n"
     "name that is cut; the conversion commands print warnings and go on. A \\fBnote\\fR\n"
     "is a key of another projection type holding something other than its default,\n"
     "or a byte\\-order mark. Exit status 0 when there is no problem, 1 when there is\n"
     "one, 2 for a usage error."},
    {"projlist", "Add EPSG systems to the dialogs' projection list: 'projlist add EPSG:CODE...'", "", "",
     "gridwise projlist add EPSG:2240 EPSG:32633\n"
     "Proj1\tEPSG:2240\tSPCS83 ftUS\tGeorgia West\tadded\n"
     "Proj2\tEPSG:32633\tUTM WGS 84\tZone 33N\tadded",
     "\\fBprojlist add\\fR \\fBEPSG:\\fR\\fIcode\\fR... [\\fB\\-\\-file\\fR \\fIfile\\fR] appends an\n"
     "entry for each projected system to the projection list that the dialogs of\n"
     "\\fBgridwise edit\\fR offer (\\fIprojlist2.ini\\fR of the settings folder, or\n"
     "\\fIfile\\fR, a path), with the registry's shift to WGS\\ 84, under the settings\n"
     "file's lock, all or none. Each entry has a general name of at most 19\n"
     "characters and a specific one of at most 29 (\\(lqUTM WGS 84\\(rq and\n"
     "\\(lqZone 33N\\(rq, \\(lqSPCS83 ftUS\\(rq and \\(lqGeorgia West\\(rq). It writes one\n"
     "line per code: the entry's key, the code, the two names and \\(lqadded\\(rq, or\n"
     "\\(lqlisted before\\(rq for an entry the list holds already (it is not added\n"
     "again), separated by tabs. A code that cannot be used gives the reason and exit\n"
     "status 2, and nothing is added; a list that would hold more than 200 entries\n"
     "(the most the dialogs show) or cannot be written gives exit status 1."},
};

struct OptionText {
    const char* term;   // as --help shows it
    const char* help;   // --help's lines beside it
    const char* manual; // the manual's entry (roff: the term's line, then the description)
};

inline constexpr OptionText kOptionTexts[] = {
    {"--settings FILE",
     "geodesy settings file (default: WGS 84 and the Transverse\n"
     "Mercator \"UTM Zone 11\"); a name without a folder is taken\n"
     "from the working folder when it is there, else from the\n"
     "settings folder",
     ".BI \\-\\-settings \" file\"\n"
     "The geodesy settings file. A name without a folder is taken from the working\n"
     "folder when such a file is there, else from the settings folder. A file that\n"
     "cannot be read is an error, never a silent fall\\-back to the defaults."},
    {"--crs EPSG:CODE",
     "the projected system of that EPSG code (also CODE alone),\n"
     "in place of --settings and --section; 'gridwise crs search'\n"
     "finds codes",
     ".BI \\-\\-crs \" EPSG:code\"\n"
     "The projected coordinate system of that EPSG code (\\fBEPSG:2240\\fR, \\fBepsg:2240\\fR\n"
     "or \\fB2240\\fR), read from the EPSG registry of PROJ's data package\n"
     "(/usr/share/proj/proj.db, or the file that GRIDWISE_EPSG_DB names), in place of\n"
     "\\fB\\-\\-settings\\fR and \\fB\\-\\-section\\fR (giving both is a usage error). A system\n"
     "the library cannot convert in (another method, an unknown or deprecated code, a\n"
     "geographic system) is refused with the reason and exit status 2, never converted\n"
     "with other formulas."},
    {"--transformation N",
     "with --crs: the shift to WGS 84, EPSG code N\n"
     "(default: the most accurate the registry has)",
     ".BI \\-\\-transformation \" code\"\n"
     "With \\fB\\-\\-crs\\fR: the EPSG code of the Helmert transformation to WGS\\ 84 that\n"
     "wgs2working and the other WGS\\ 84 commands use; by default the most accurate\n"
     "one whose area meets the system's."},
    {"--file FILE",
     "with projlist add: the projection list to add to\n"
     "(default: projlist2.ini of the settings folder)",
     ".BI \\-\\-file \" file\"\n"
     "With \\fBprojlist add\\fR: the projection list file to add to (a name without a\n"
     "folder is one of the working folder); by default \\fIprojlist2.ini\\fR of the\n"
     "settings folder, which the dialogs read."},
    {"--section NAME", "section of the settings file (needed with --settings)",
     ".BI \\-\\-section \" name\"\n"
     "The section of the settings file (needed with \\fB\\-\\-settings\\fR); a section that\n"
     "is not in the file is an error."},
    {"--units FILE",
     "unit settings (section \"units\"; default: the [units]\n"
     "section of the settings file, if it has one)",
     ".BI \\-\\-units \" file\"\n"
     "The unit settings (section \"units\"). Default: the [units] section of the\n"
     "settings file, when it has one, else metres and degrees with decimal minutes."},
    {"--lenient",
     "convert a section that has errors as the library's host\n"
     "interface reads it (what does not read takes a default)",
     ".B \\-\\-lenient\n"
     "Convert a settings section in which \\fBgridwise check\\fR finds errors as the\n"
     "library's host interface reads it: a value that does not read takes the\n"
     "reader's default or stand\\-in. Without it such a section is refused."},
    {"-p N",
     "decimals: N for metres (default 3), N+5 for degrees,\n"
     "N+6 for scale factors; N from 0 to 12; with --text only\n"
     "for the plain-number columns (convergence, scale)",
     ".BI \\-p \" n\"\nDecimals, 0 to 12, of the plain numbers (see OUTPUT). With\n"
     ".B \\-\\-text\nthe text forms keep the decimals of the unit settings, and\n"
     ".B \\-p\nsets only those of the convergence and scale columns."},
    {"--text",
     "write (and read plain numbers in) the library's own text\n"
     "forms and units; their decimals follow the unit settings",
     ".B \\-\\-text\nThe library's text forms (see OUTPUT)."},
    {"--convergence",
     "geo2grid, grid2geo: add the grid convergence (decimal\n"
     "degrees, also with --text)",
     ".B \\-\\-convergence\ngeo2grid and grid2geo: a column with the grid convergence, decimal degrees."},
    {"--scale",
     "geo2grid, grid2geo: add the point scale factor (Transverse\n"
     "Mercator: k0 (1 + X + X^2/6), X = E^2 / (2 nu^2), short of the\n"
     "exact scale by 10 ppm at 3 and 41 ppm at 6 degrees from the\n"
     "central meridian on the equator, less further north)",
     ".B \\-\\-scale\ngeo2grid and grid2geo: a column with the point scale factor. For a\n"
     "Transverse Mercator it is k0 (1 + X + X\\(ha2/6) with X = E\\(ha2 / (2 nu\\(ha2), E the\n"
     "easting from the central meridian and nu the prime-vertical radius at the\n"
     "latitude northing / a: short of the exact point scale by about 1 ppm at 1\n"
     "degree, 10 ppm at 3 degrees and 41 ppm at 6 degrees from the central meridian\n"
     "on the equator (6 and 24 ppm at 30 degrees of latitude, 3 and 11 ppm at 45)."},
    {"-j N", "convert with N threads (output in input order)",
     ".BI \\-j \" n\"\n"
     "Convert with\n.I n\n"
     "threads (1 to 64), each with a geodesy object of its own; the output keeps the\n"
     "input order."},
    {"--input-file FILE", "read FILE instead of standard input",
     ".BI \\-\\-input\\-file \" file\"\n"
     "Read the points from\n.IR file .\n"
     "With standard error on a terminal, a progress line (points done, rate, share of\n"
     "the file) is refreshed there."},
    {"--output-file FILE", "write FILE instead of standard output",
     ".BI \\-\\-output\\-file \" file\"\nWrite the converted lines to\n.IR file ."},
    {"--quiet", "no progress line on standard error",
     ".B \\-\\-quiet\nNo progress line and no count of failed lines on standard error."},
    {"-h, --help", "this help", ".BR \\-h \", \" \\-\\-help\nDescribes the command, with an example."},
    {"--version", "the version of gridwise", ".B \\-\\-version\nWrites the version of gridwise (also without a command)."},
};

// --help's short account of the input lines.
inline constexpr const char* kInputHelp =
    "Input: one point per line; fields separated by blanks, tabs or commas.\n"
    "Angles in decimal degrees (52.0854, -117.5), in degrees, minutes and\n"
    "seconds (195 26 08.203) or with a hemisphere letter (N52 05.1240,\n"
    "52 05 07.44 N, W117 30); grid values as plain numbers or labelled\n"
    "(N5765432.10m, E1234.5ft, S12+34.56m); distances plain or with a unit\n"
    "(1000ft). Numbers below 60 after whole degrees may be minutes and seconds:\n"
    "a line that reads in more than one way ('34 30 -117 15 30') is an error,\n"
    "unless it is exactly one plain number per field ('34 -117'); hemisphere\n"
    "letters make it plain ('N34 30 W117 15 30'). Text after the fields (point\n"
    "names) is copied to the output; empty lines and lines starting with '#'\n"
    "pass through. A bad line gives 'ERROR: ...' in its place. What a command\n"
    "writes with --text is input of the command that goes the other way.\n";

// The manual's date.
inline constexpr const char* kManualDate = "December 2026";

// The manual before its COMMANDS section (after the title line).
inline constexpr const char* kManualHead = R"(.SH NAME
gridwise \- convert survey positions between map grids, datums and geodesics
.SH SYNOPSIS
.B gridwise
.I command
.RB [ \-\-settings
.I file
.BR \-\-section
.IR name \ |
.B \-\-crs
.BI EPSG: code
.RB [ \-\-transformation
.IR code ]]
.RB [ \-\-units
.IR file ]
.RB [ \-p
.IR n ]
.RB [ \-\-text ]
.RB [ \-j
.IR n ]
.RB [ \-\-input\-file
.IR file ]
.RB [ \-\-output\-file
.IR file ]
.RB [ \-\-quiet ]
.br
.B gridwise
.I command
.B \-\-help
.br
.B gridwise
.B \-\-version
.SH DESCRIPTION
.B gridwise
reads one point per line from standard input (or
.BR \-\-input\-file ),
converts it with the Gridwise geodesy library and writes one line per input
line, in the same order, to standard output (or
.BR \-\-output\-file ).
The projection and the working datum come from a section of a settings file;
without one, WGS\ 84 and the Transverse Mercator "UTM Zone 11" serve, so
.B echo 34 \-117 | gridwise geo2grid
works out of the box. A projected system of the EPSG registry serves by its code:
.B echo 33.749 \-84.388 | gridwise geo2grid \-\-crs EPSG:2240
(see
.BR "gridwise crs search" ).
)";

// The manual's INPUT and OUTPUT sections, between COMMANDS and OPTIONS.
inline constexpr const char* kManualInputOutput = R"(.SH INPUT
Fields are separated by blanks, tabs or commas. Angles are decimal degrees
(52.0854, \-117.5), degrees, minutes and seconds (195 26 08.203, \-117 15 30),
or carry a hemisphere letter, first or last (N52 05.1240, 52 05 07.44 N,
W117 30). Latitudes take N or S, longitudes E or W, azimuths any of the four
(N and E count positive, S and W negative). After the degrees, a field is
minutes (and one more seconds) only when the field before it is whole and it is
below 60, so
.B 34 \-117 1001
is latitude 34, longitude \-117 and the point name 1001. Grid values are plain
numbers or labelled with the axis and a unit (N5765432.10m, E1234.5ft,
S12+34.56m and O\-5.00m on a station/offset system); a label must fit its field.
Distances are plain numbers or carry a unit (1000ft, 1.5km, 2nm). A value in
.B ft
is in international feet where the projection's unit (grid values) or the
distance unit of the unit settings (distances) is the international foot, else
in US survey feet.
.PP
Each command knows how many fields it needs, and a line must read in exactly
one way:
.IP \(bu 2
An angle with a letter first takes the minutes and seconds that follow it; one
with the letter last ends at the letter. A letter last that does not fit the
angle belongs to the next one:
.B 34 30 W
is latitude 34 and longitude 30\(de W.
.IP \(bu 2
Without a letter, the numbers below 60 after an angle's whole degrees may be its
minutes and seconds or the next angle. A grid value or a distance never starts
among them, so
.B direct
reads
.B N33 45 18.912 W084 23 24.108 195 26 08.203 43231.06ft
(what
.B inverse \-\-text
writes after the start point) as azimuth 195\(de26\(fm08.203\(sd and
distance 43231.06 feet.
.IP \(bu 2
A line that still reads in more than one way is an error that names two of its
readings:
.B 34 30 \-117 15 30
may be latitude 34, longitude 30 and the point name \-117 15 30, or latitude
34\(de30\(fm, longitude \-117\(de15\(fm30\(sd; and
.B 34 \-117 12
may end with the point name 12 or with 12 minutes of longitude. Hemisphere
letters
.RB ( "N34 30 W117 15 30" )
or decimal degrees make such lines plain; a point name never starts inside an
angle's text.
.IP \(bu 2
A line of exactly as many plain numbers as the command has fields is one number
per field:
.B 34 \-117
(geo2grid) and
.B 52 4 52 5
(inverse) are read so.
.PP
Text after the fields (point names) is copied to the output. Empty lines and
lines whose first non\-blank character is '#' pass through unchanged. A carriage
return before the line break and a UTF\-8 byte\-order mark at the start are
tolerated. A line that cannot be read or converted gives
.B ERROR:
and the reason in its place, and the lines after it are converted as usual. A
line longer than 65536 bytes is an error. Numbers are read and written the same
in every locale.
.SH OUTPUT
By default decimal degrees and metres: metres with
.I n
decimals (\fB\-p\fR, default 3), degrees with
.IR n +5
and scale factors with
.IR n +6,
each rounded as printf's "%.*f" rounds. The output fields are separated by the
separator that followed the first input field (a comma, a tab, else a blank).
With
.BR \-\-text ,
the library's own text forms: latitudes and longitudes in the style of the unit
settings (degrees and decimal minutes, or degrees, minutes and seconds), grid
values with the projection's axis labels and unit, azimuths as angle text,
distances in the distance unit of the unit settings; plain numbers in the
input are then in the projection's unit (grid values) and the distance unit
(distances). The text forms have the decimals of the unit settings (4 of a
minute, or 3 of a second, for angles; 2 for grid values; the distance unit's own
for distances), not those of
.BR \-p ,
which then sets only the decimals of the convergence and scale columns. What
one command writes with
.B \-\-text
is input of the command that goes the other way (inverse and direct, geo2grid and
grid2geo, wgs2grid and grid2wgs, wgs2working and working2wgs), in every unit
setting. No number is written as a negative zero: a value that rounds to zero at
the decimals shown has no minus (0.000, O0.00m, S0+00.00m, N00 00.0000).
)";

// The manual after its OPTIONS section.
inline constexpr const char* kManualTail = R"(.SH EXIT STATUS
0 when every line converted; 1 when a line gave
.B ERROR
or the input could not be read or the output written; 2 for a usage error, a
settings file or section that cannot be read, a coordinate system of
.B \-\-crs
that is refused, or an input or output file that cannot be opened.
.SH ENVIRONMENT
.TP
.B GRIDWISE_SETTINGS_DIR
The settings folder (else $XDG_CONFIG_HOME/gridwise, else ~/.config/gridwise).
.TP
.B GRIDWISE_EPSG_DB
The EPSG registry database of
.B \-\-crs
and
.B crs
(else /usr/share/proj/proj.db, from Debian's proj\-data).
.SH FILES
.TP
.I settings file
An INI file of projects: one section per project with the key
.B GeodesyType
(the projection type), the projection's keys and the datum keys
.RB ( aAxis ,
.BR inverseFlattening ,
.BR deltaX / Y / Z ,
.BR scalar ,
.BR rotX / Y / Z
in degrees, position vector convention), and a
.B [units]
section. Grid values are metres whatever the projection's
.B units
key says. Every key, its unit, text form, default and range, and a worked
example of every projection type are in
.B docs/settings.md
of the Gridwise sources.
.TP
.I projlist2.ini
The projection list of
.BR "gridwise edit" ,
always in the settings folder: section
.BR [PROJECTIONS] ,
.B NumberProjections
and one line per entry
.RB ( Proj1 ", " Proj2 ", ...);"
see
.BR docs/settings.md .
.SH EXAMPLES
.nf
gridwise wgs2grid \-\-text \-\-settings data/survey/settings.ini \\
    \-\-section georgia\-west \-\-input\-file data/survey/atlanta.txt
gridwise geo2grid \-j 2 \-\-input\-file points.txt \-\-output\-file grid.txt
.fi
)";

} // namespace gwcli::help
