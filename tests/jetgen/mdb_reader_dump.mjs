// Prints every user table of a database the way the tests render expected rows:
// "# name rowCount" and then one line per row, fields as mdb-export -H -e -0 NULL prints them.
import MDBReader from "mdb-reader";
import { readFileSync } from "fs";

const escape = (s) =>
  s.replace(/\\/g, "\\\\").replace(/\r/g, "\\r").replace(/\n/g, "\\n").replace(/\t/g, "\\t").replace(/"/g, '""');
const field = (v, type) => {
  if (v === null || v === undefined) return "NULL";
  if (type === "currency") return String(v);
  if (typeof v === "boolean") return v ? "1" : "0";
  if (v instanceof Date) return '"' + v.toISOString().replace("T", " ").slice(0, 19) + '"';
  if (typeof v === "string") return '"' + escape(v) + '"';
  return String(v);
};

const reader = new MDBReader(readFileSync(process.argv[2]));
const out = [];
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  const columns = table.getColumns();
  out.push(`# ${name} ${table.rowCount}`);
  for (const row of table.getData()) out.push(columns.map((c) => field(row[c.name], c.type)).join(","));
}
process.stdout.write(out.join("\n") + "\n");
process.exitCode = 0;
