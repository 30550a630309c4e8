#!/usr/bin/env python3
# A release's winget manifests read as winget reads them, for the installer
# tests: YAML without implicit types, so every value is text ("0.5" stays
# "0.5", never a number):
#   winget_manifest.py DIR FIELD...           each FIELD's value, one a line
#                                             ("" when there is none)
#   winget_manifest.py --valid SCHEMAS DIR    "NAME: valid" per file, or what
#                                             is wrong with it
# A FIELD is the manifest's type and a path into it, such as
# installer.Installers.0.InstallerSha256 or defaultLocale.License. SCHEMAS
# holds winget's JSON schemas (draft-07), named manifest.TYPE.VERSION.json.
import json
import os
import re
import sys

import yaml


def manifests(folder):
    """Each file's name, text and content, in name order."""
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            text = f.read()
        yield name, text, yaml.load(text, Loader=yaml.BaseLoader)


def field(folder, path):
    kind, *keys = path.split(".")
    value = next((d for _, _, d in manifests(folder) if d.get("ManifestType") == kind), None)
    for key in keys:
        if isinstance(value, list) and key.isdigit() and int(key) < len(value):
            value = value[int(key)]
        elif isinstance(value, dict) and key in value:
            value = value[key]
        else:
            return ""
    return value if isinstance(value, str) else json.dumps(value)


def typed(value, schema, root):
    """The value with the fields the schema types as integer or boolean
    turned back into those types, which is what winget's reader does."""
    while "$ref" in schema:
        schema = root["definitions"][schema["$ref"].rsplit("/", 1)[1]]
    if isinstance(value, dict):
        known = schema.get("properties", {})
        return {k: typed(v, known.get(k, {}), root) for k, v in value.items()}
    if isinstance(value, list):
        return [typed(v, schema.get("items", {}), root) for v in value]
    types = schema.get("type", [])
    types = [types] if isinstance(types, str) else types
    if "integer" in types and re.fullmatch(r"-?[0-9]+", value):
        return int(value)
    if "boolean" in types and value.lower() in ("true", "false"):
        return value.lower() == "true"
    return value


def problems(schemas, text, document):
    import jsonschema

    kind, version = document.get("ManifestType", "?"), document.get("ManifestVersion", "?")
    header = f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{version}.schema.json"
    if (text.splitlines() or [""])[0] != header:
        yield f"its first line is not {header}"
    path = os.path.join(schemas, f"manifest.{kind}.{version}.json")
    if not os.path.exists(path):
        yield f"no schema for ManifestType {kind}, ManifestVersion {version}"
        return
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    checker = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    errors = checker.iter_errors(typed(document, schema, schema))
    for error in sorted(errors, key=lambda e: list(map(str, e.path))):
        yield "/".join(map(str, error.path)) + ": " + error.message


if sys.argv[1] == "--valid":
    schemas, folder = sys.argv[2:4]
    for name, text, document in manifests(folder):
        found = list(problems(schemas, text, document))
        print(f"{name}: " + ("; ".join(found) if found else "valid"))
else:
    for path in sys.argv[2:]:
        print(field(sys.argv[1], path))
