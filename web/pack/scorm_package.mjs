// Writes CALVETRA as a SCORM 1.2 package, the zip a course platform (Moodle,
// Canvas, Blackboard) takes as one activity: imsmanifest.xml at its root and
// the page in one file as the one shareable content object, so that the
// platform needs no MIME type for a separate .wasm and no service worker.
//
//   node scorm_package.mjs PAGE_IN_ONE_FILE VERSION OUTPUT_ZIP
//
// The zip is written here, with node:zlib's deflate, so that the build needs
// no zip tool. Its entries carry the page's modification time (or
// SOURCE_DATE_EPOCH), so the same page gives the same bytes.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [page, version, output] = process.argv.slice(2);
if (!output) throw new Error('usage: node scorm_package.mjs PAGE_IN_ONE_FILE VERSION OUTPUT_ZIP');
const PAGE = 'calvetra.html';

// The package's one organization and its one item, played by one resource.
const manifest = `<?xml version="1.0" encoding="UTF-8"?>
<manifest identifier="calvetra-${version}" version="${version}"
          xmlns="http://www.imsproject.org/xsd/imscp_rootv1p1p2"
          xmlns:adlcp="http://www.adlnet.org/xsd/adlcp_rootv1p2">
  <metadata>
    <schema>ADL SCORM</schema>
    <schemaversion>1.2</schemaversion>
  </metadata>
  <organizations default="calvetra">
    <organization identifier="calvetra">
      <title>CALVETRA</title>
      <item identifier="calvetra-item" identifierref="calvetra-page" isvisible="true">
        <title>CALVETRA</title>
      </item>
    </organization>
  </organizations>
  <resources>
    <resource identifier="calvetra-page" type="webcontent" adlcp:scormtype="sco" href="${PAGE}">
      <file href="${PAGE}"/>
    </resource>
  </resources>
</manifest>
`;

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// The date and time as a zip entry keeps them (MS-DOS format, local time, two-second steps).
function dosDateTime(date) {
  const time = (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
  const day = ((date.getFullYear() - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
  return { time, day };
}

// A zip of deflated entries: each entry's local header and data, then the
// central directory that lists them, then its end record.
function zip(entries, date) {
  const { time, day } = dosDateTime(date);
  const locals = [], central = [];
  let offset = 0;
  for (const { name, data } of entries) {
    const nameBytes = Buffer.from(name, 'ascii');
    const packed = zlib.deflateRawSync(data, { level: 9 });
    const fields = (header) => {
      header.writeUInt16LE(20, 0);  // version needed: deflate
      header.writeUInt16LE(0, 2);   // no flags
      header.writeUInt16LE(8, 4);   // method: deflate
      header.writeUInt16LE(time, 6);
      header.writeUInt16LE(day, 8);
      header.writeUInt32LE(crc32(data), 10);
      header.writeUInt32LE(packed.length, 14);
      header.writeUInt32LE(data.length, 18);
      header.writeUInt16LE(nameBytes.length, 22);
      return header;
    };
    const local = Buffer.alloc(30);
    local.writeUInt32LE(0x04034b50, 0);
    fields(local.subarray(4));
    locals.push(local, nameBytes, packed);
    const entry = Buffer.alloc(46);
    entry.writeUInt32LE(0x02014b50, 0);
    entry.writeUInt16LE(20, 4);     // made by: MS-DOS attributes, zip 2.0
    fields(entry.subarray(6));
    entry.writeUInt32LE(offset, 42);
    central.push(entry, nameBytes);
    offset += local.length + nameBytes.length + packed.length;
  }
  const directory = Buffer.concat(central);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0);
  end.writeUInt16LE(entries.length, 8);
  end.writeUInt16LE(entries.length, 10);
  end.writeUInt32LE(directory.length, 12);
  end.writeUInt32LE(offset, 16);
  return Buffer.concat([...locals, directory, end]);
}

const date = process.env.SOURCE_DATE_EPOCH ? new Date(Number(process.env.SOURCE_DATE_EPOCH) * 1000) : fs.statSync(page).mtime;
const bytes = zip([
  { name: 'imsmanifest.xml', data: Buffer.from(manifest, 'utf8') },
  { name: PAGE, data: fs.readFileSync(page) },
], date);
fs.mkdirSync(path.dirname(output), { recursive: true });
fs.writeFileSync(output, bytes);
