#include "catalogue/default_catalogue.h"

#include <span>

#include "catalogue/file_type_catalogue.h"

namespace krelix {
namespace {

struct DefaultType {
    const char16_t* pattern;
    const char16_t* description;
};

struct DefaultCategory {
    const char16_t* name;
    std::span<const DefaultType> types;
};

constexpr DefaultType kAnyFiles[] = {
    {u"*.*", u"Any Files"},
};

constexpr DefaultType kTextFiles[] = {
    {u"*.TXT", u"Plain Text File"},
    {u"*.RTF", u"Rich Text Document"},
    {u"*.LOG", u"Log File"},
};

constexpr DefaultType kDocumentFiles[] = {
    {u"*.JNT", u"Journal Document"},
    {u"*.PDF", u"Adobe Acrobat Files"},
    {u"*.DOC", u"Microsoft Word 97 to 2003 Document"},
    {u"*.DOCX", u"Microsoft Word 2007/2010 Open XML Document"},
    {u"*.DOCM", u"Microsoft Word 2007/2010 Open XML Macro-enabled Document"},
    {u"*.DOTM", u"Microsoft Word 2007/ 2010 Open XML Macro-enabled Document Template"},
    {u"*.DOTX", u"Microsoft Word 2007 or Word 2010 XML Document Template"},
    {u"*.XPS", u"XML paper specification file"},
    {u"*.ODT", u"OpenOffice.org Text Document"},
};

constexpr DefaultType kMSOfficeFiles[] = {
    {u"*.MDB", u"Microsoft Access Database"},
    {u"*.ADP", u"Microsoft Access Project"},
    {u"*.MDA", u"Microsoft Access Add-in"},
    {u"*.MDE", u"Microsoft Access MDE Database"},
    {u"*.ACCDA", u"Microsoft Access 2007/2010 add-in file"},
    {u"*.ACCDB", u"Microsoft Access 2007/2010 database file"},
    {u"*.ACCDC", u"Microsoft Access 2007/2010 digitally signed database file"},
    {u"*.ACCDP", u"Microsoft Access 2007/2010 project file"},
    {u"*.ACCDT", u"Microsoft Access 2007/2010 database template file"},
    {u"*.ADE", u"Microsoft Access Project Extension"},
    {u"*.XLA", u"Microsoft Excel Add-In File"},
    {u"*.XLS", u"Microsoft Excel 97-2003 Spreadsheet"},
    {u"*.XLT", u"Microsoft Excel Template File"},
    {u"*.XLM", u"Microsoft Excel Macro File"},
    {u"*.XLC", u"Microsoft Excel Chart file"},
    {u"*.XLW", u"Microsoft Excel Workspace file"},
    {u"*.PPS", u"Microsoft PowerPoint 97 to 2003 complete slide show file"},
    {u"*.PPT", u"Microsoft PowerPoint 97 to 2003 Presentation file"},
    {u"*.PPTM", u"Microsoft PowerPoint 2007/2010 macro-enabled Open XML presentation file"},
    {u"*.PPTX", u"Microsoft PowerPoint 2007/2010 Open XML presentation file"},
    {u"*.DOC", u"Microsoft Word 97 to 2003 Document"},
    {u"*.DOCX", u"Microsoft Word 2007/2010 Open XML Document"},
    {u"*.DOCM", u"Microsoft Word 2007/2010 Open XML Macro-enabled Document"},
    {u"*.DOTM", u"Microsoft Word 2007/ 2010 Open XML Macro-enabled Document Template"},
    {u"*.DOTX", u"Microsoft Word 2007 or Word 2010 XML Document Template"},
    {u"*.XSF", u"Microsoft Office InfoPath file"},
    {u"*.XSN", u"Microsoft Office InfoPath template form file"},
};

constexpr DefaultType kOpenOfficeFiles[] = {
    {u"*.ODT", u"OpenDocument Text Document"},   {u"*.ODS", u"OpenDocument Spreadsheet"},
    {u"*.ODG", u"OpenDocument Graphic File"},    {u"*.ODP", u"OpenDocument Presentation"},
    {u"*.ODM", u"OpenDocument Master Document"}, {u"*.ODF", u"OpenDocument Formula"},
};

constexpr DefaultType kPhotoImages[] = {
    {u"*.BMP", u"Bitmap image"},
    {u"*.GIF", u"Graphical Interchange Format File"},
    {u"*.ICO", u"Icon File"},
    {u"*.JNG", u"JPEG Network Graphic"},
    {u"*.JPG", u"JPEG image"},
    {u"*.JPEG", u"JPEG image"},
    {u"*.JPE", u"JPEG image"},
    {u"*.JP2", u"JPEG 2000 Core Image File"},
    {u"*.JPC", u"JPEG 2000 Code Stream File"},
    {u"*.J2K", u"JPEG 2000 Image"},
    {u"*.PNG", u"Portable Network Graphic"},
    {u"*.TIF", u"Tagged Image File Format"},
    {u"*.TIFF", u"Tagged Image File Format"},
    {u"*.PS", u"PostScript File"},
    {u"*.EPS", u"Encapsulated PostScript File"},
    {u"*.CLP", u"Windows Clipboard File"},
    {u"*.CRW", u"Canon Raw CIFF Image File"},
    {u"*.CR2", u"Canon RAW image format version 2.0"},
    {u"*.DCX", u"Zsoft PC Publisher's Paintbrush image"},
    {u"*.EXR", u"OpenEXR Image"},
    {u"*.KDC", u"Kodak Photo-Enhancer File"},
    {u"*.PCX", u"Paintbrush Bitmap Image File"},
    {u"*.PSD", u"Adobe Photoshop Document"},
    {u"*.RAW", u"Raw Image Data File"},
    {u"*.SFW", u"Seattle FilmWorks Image"},
    {u"*.WMF", u"Windows Metafile"},
    {u"*.PSPIMAGE", u"PaintShop Photo Pro Image"},
    {u"*.THM", u"Thumbnail Image File"},
    {u"*.YUV", u"YUV Encoded Image File"},
    {u"*.AI", u"Adobe Illustrator File"},
    {u"*.DRW", u"Drawing File"},
    {u"*.SVG", u"Scalable Vector Graphics File"},
    {u"*.3DM", u"Rhino 3D Model"},
    {u"*.MA", u"Maya Project File"},
    {u"*.MAX", u"3ds Max Scene File"},
};

constexpr DefaultType kMusicFiles[] = {
    {u"*.M4A", u"MPEG-4 Audio"},
    {u"*.MPA", u"MPEG-2 Audio File"},
    {u"*.AAC", u"Advanced Audio Coding File"},
    {u"*.IFF", u"Interchange File Format"},
    {u"*.AIF", u"Audio Interchange File Format"},
    {u"*.AIFF", u"Audio Interchange File Format"},
    {u"*.APE", u"Monkey's Audio Lossless Audio File"},
    {u"*.AU", u"AU Format Sound"},
    {u"*.FLAC", u"Free Lossless Audio Codec File"},
    {u"*.MID", u"MIDI Sequence"},
    {u"*.MP3", u"MP3 Format Sound"},
    {u"*.OGG", u"Ogg Vorbis audio file"},
    {u"*.RAW", u"RAW sound file"},
    {u"*.WAV", u"Wave Sound"},
    {u"*.WMA", u"Windows Media Audio file"},
    {u"*.4MP", u"4-MP3 Database File"},
    {u"*.RA", u"Real Audio File"},
};

constexpr DefaultType kVideoFiles[] = {
    {u"*.3G2", u"3GPP2 Multimedia File"},
    {u"*.3GP", u"3GPP Multimedia File"},
    {u"*.ASF", u"Advanced Systems Format File"},
    {u"*.ASX", u"Microsoft ASF Redirector File"},
    {u"*.AVI", u"Audio Video Interleave File"},
    {u"*.WMV", u"Windows Media Video File"},
    {u"*.SWF", u"Shockwave Flash Movie"},
    {u"*.FLA", u"Adobe Flash Animation"},
    {u"*.FLV", u"Flash Video File"},
    {u"*.MKV", u"Matroska Video File"},
    {u"*.MPEG", u"MPEG Movie"},
    {u"*.MPG", u"MPEG Video File"},
    {u"*.M1V", u"MPEG-1 Video File"},
    {u"*.MP2", u"MPEG Layer II Compressed Audio File"},
    {u"*.MP4", u"MP4 Video"},
    {u"*.MPE", u"MPEG Movie File"},
    {u"*.MOV", u"Apple QuickTime Movie"},
    {u"*.DIVX", u"DivX-Encoded Movie File"},
    {u"*.264", u"H.264/MPEG-4 AVC video file"},
    {u"*.RM", u"Real Media File"},
    {u"*.RMVB", u"RealMedia Variable Bit Rate File"},
    {u"*.VOB", u"DVD Video Object File"},
};

constexpr DefaultType kCADFiles[] = {
    {u"*.DWG", u"AutoCAD Drawing Database File"},
    {u"*.DXF", u"Drawing Exchange Format File"},
    {u"*.PLN", u"ArchiCAD Project File"},
    {u"*.DGN", u"MicroStation Design File"},
};

constexpr DefaultType kWebFiles[] = {
    {u"*.PHP", u"Hypertext Preprocessor File"},
    {u"*.JSP", u"Java Server Page"},
    {u"*.ASP", u"Active Server Page"},
    {u"*.CSS", u"Cascading Style Sheet"},
    {u"*.HTML", u"Hypertext Markup Language File"},
    {u"*.HTM", u"Hypertext Markup Language File"},
    {u"*.XHTML", u"XHTML Files"},
    {u"*.JS", u"JavaScript File"},
    {u"*.WML", u"Wireless Markup Language File"},
    {u"*.XHT", u"XHTML File"},
    {u"*.XHTM", u"Extensible Hypertext Markup Language Document"},
    {u"*.XHTML", u"Extensible Hypertext Markup Language File"},
};

constexpr DefaultType kArchiveFiles[] = {
    {u"*.7Z", u"7-ZIP compressed 7z archive file"},
    {u"*.ZIP", u"Zip compressed archive file"},
    {u"*.XZ", u"XZ Utils compressed archive"},
    {u"*.WIM", u"Windows Imaging Format archive file"},
    {u"*.ACE", u"WinACE Compressed ace archive file"},
    {u"*.ALZ", u"ALZip compressed file"},
    {u"*.ARC", u"ARC lossless data compression and archive format"},
    {u"*.ARJ", u"ARJ Compressed ARJ archive file"},
    {u"*.BZ2", u"bzip2 compressed file archive"},
    {u"*.CAB", u"Windows Cabinet Compressed Archive"},
    {u"*.JAR", u"Compressed archive file package for Java classes and data file"},
    {u"*.LZH", u"LH ARC compressed archive"},
    {u"*.PAK", u"Compressed game data archive"},
    {u"*.RAR", u"RAR compressed file archive"},
    {u"*.AT3", u"Sony UMD Data compression file"},
    {u"*.TGZ", u"Gzip compressed TAR archive"},
    {u"*.TAR", u"Unix standard Archive format, Tape Archive"},
    {u"*.GZ", u"GZIP compressed archive file"},
    {u"*.UHA", u"UHARC compressed archive"},
    {u"*.ISO", u"Disc Image File"},
};

constexpr DefaultCategory kDefaultTable[] = {
    {u"Any Files", kAnyFiles},
    {u"Text Files", kTextFiles},
    {u"Document Files", kDocumentFiles},
    {u"MS Office Files", kMSOfficeFiles},
    {u"Open Office Files", kOpenOfficeFiles},
    {u"Photo Images", kPhotoImages},
    {u"Music Files", kMusicFiles},
    {u"Video Files", kVideoFiles},
    {u"CAD Files", kCADFiles},
    {u"Web Files", kWebFiles},
    {u"Archive Files", kArchiveFiles},
};

}  // namespace

void AppendDefaultCatalogue(FileTypeCatalogue& catalogue) {
    for (const DefaultCategory& category : kDefaultTable) {
        CFileCategory& added = catalogue.AddCategory(category.name);
        for (const DefaultType& type : category.types) {
            added.AddType(type.pattern, type.description);
        }
    }
}

}  // namespace krelix
